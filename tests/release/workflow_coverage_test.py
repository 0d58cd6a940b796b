#!/usr/bin/env python3
"""Every Windows test program is run by the Windows workflow, none skipped
for its code page.

Reads the ctest entries of a Windows build (ctest --show-only=json-v1) and
.github/workflows/windows.yml, and checks that each entry has a step whose
id is its name:
- a test program (run through the cross-compiling emulator) in the Windows
  jobs, through .github/scripts/run-tier.ps1 with its name, the same program
  and arguments (the shipped belltide.exe for the build's), and the pass of
  its code page: en-US where ctest sets BELLTIDE_LOCALE to an English locale,
  ja-JP (code page 932 through activeCodePage) everywhere else;
- a host check (a Python script on the build host) in the Linux job;
- skipped (`if: false`) only where it needs Wine (e2e_session_end), saying so.
Then checks that tools/code-page-manifest gives the test programs and
belltide.exe of this build activeCodePage ja-JP, keeping belltide.exe's own
manifest; and shows that the check refuses a tier left out, a Japanese tier
run as English, and a tier skipped without needing Wine.

  workflow_coverage_test.py WORKFLOW BUILD_DIR CTEST
"""
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

import yaml

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
WINE_ONLY = {"e2e_session_end": "wineboot --end-session"}
SELF = "workflow_coverage"
SETTINGS_2019 = "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}"


def ctest_entries(build, ctest):
    shown = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, check=True, capture_output=True, text=True)
    entries = {}
    for test in json.loads(shown.stdout)["tests"]:
        env = {}
        for prop in test.get("properties", []):
            if prop["name"] == "ENVIRONMENT":
                env = dict(item.split("=", 1) for item in prop["value"])
        entries[test["name"]] = {"command": test["command"], "env": env}
    return entries


def steps(workflow):
    """{step id: (job id, runs on Linux, step)}"""
    found = {}
    for job_id, job in workflow["jobs"].items():
        linux = "container" in job or "ubuntu" in str(job.get("runs-on"))
        for step in job.get("steps", []):
            if "id" in step:
                found[step["id"]] = (job_id, linux, step)
    return found


def problems(entries, workflow):
    found = []
    by_id = steps(workflow)
    for name, entry in entries.items():
        if name == SELF:
            continue
        if name not in by_id:
            found.append(f"{name}: no step of the workflow runs it (a step with id {name})")
            continue
        job, linux, step = by_id[name]
        run = " ".join(str(step.get("run", "")).split())
        command = entry["command"]
        skipped = step.get("if") is False
        if skipped:
            if name not in WINE_ONLY:
                found.append(f"{name}: skipped in job {job}, but it needs no Wine")
            elif "Wine" not in step.get("name", ""):
                found.append(f"{name}: skipped without saying that it needs Wine")
            continue
        if name in WINE_ONLY:
            found.append(f"{name}: run on Windows, but it needs Wine ({WINE_ONLY[name]})")
        host = os.path.basename(command[0]).startswith("python")
        if host:
            if not linux:
                found.append(f"{name}: a host check, run in {job}, not in the Linux job")
            script = os.path.basename(command[1])
            if script not in run:
                found.append(f"{name}: its step does not run {script}")
            continue
        if linux:
            found.append(f"{name}: a Windows test program, run in the Linux job {job}")
        if "run-tier.ps1" not in run or f"-Name {name} " not in run + " ":
            found.append(f"{name}: not run through .github/scripts/run-tier.ps1 -Name {name}")
        english = entry["env"].get("BELLTIDE_LOCALE", "ja").startswith("en")
        wanted = "en-US" if english else "ja-JP"
        if f"-Pass {wanted}" not in run:
            found.append(f"{name}: not run in the {wanted} pass, which its code page needs "
                         f"({'BELLTIDE_LOCALE=' + entry['env']['BELLTIDE_LOCALE'] if english else 'code page 932'})")
        if os.path.basename(command[1]) == "released_zip.sh":
            program, args = os.path.basename(command[3]), ["belltide.exe", "--gtest_filter=Released.*"]
            if "-Zip " not in run:
                found.append(f"{name}: its step does not unpack the shipped zip (-Zip)")
        else:
            # command: the emulator (tools/wine-exec), the program, its arguments
            program = os.path.basename(command[1])
            args = ["belltide.exe" if os.path.basename(a) == "belltide.exe" else a for a in command[2:]]
        for word in [program] + args:
            if f" {word} " not in f" {run} " and f" '{word}' " not in f" {run} ":
                found.append(f"{name}: its step does not pass {word}")
    return found


def manifest_problems(build):
    found = []
    programs = {"belltide.exe": os.path.join(build, "belltide.exe"),
                "core_tests.exe": os.path.join(build, "tests", "core", "core_tests.exe"),
                "ui_tests.exe": os.path.join(build, "tests", "ui", "ui_tests.exe"),
                "e2e_tests.exe": os.path.join(build, "tests", "e2e", "e2e_tests.exe")}
    for name, path in programs.items():
        made = subprocess.run([sys.executable, os.path.join(REPO, "tools", "code-page-manifest"), path, "ja-JP"],
                              capture_output=True, text=True)
        if made.returncode:
            found.append(f"{name}: tools/code-page-manifest failed: {made.stderr.strip()}")
            continue
        root = ET.fromstring(made.stdout.split("\n", 1)[1])
        pages = [e.text for e in root.iter(f"{SETTINGS_2019}activeCodePage")]
        if pages != ["ja-JP"]:
            found.append(f"{name}: its manifest names the code pages {pages}, not ja-JP once")
        if name == "belltide.exe" and not any(e.tag.endswith("dpiAwareness") for e in root.iter()):
            found.append(f"{name}: its manifest lost the program's own settings")
    return found


def main():
    workflow_path, build, ctest = sys.argv[1:]
    with open(workflow_path, encoding="utf-8") as f:
        text = f.read()
    entries = ctest_entries(build, ctest)
    workflow = yaml.safe_load(text)
    windows_job = next(j for j, job in workflow["jobs"].items() if "container" not in job)

    def without(step_id):
        changed = yaml.safe_load(text)
        for job in changed["jobs"].values():
            job["steps"] = [s for s in job.get("steps", []) if s.get("id") != step_id]
        return changed

    def edited(step_id, edit):
        changed = yaml.safe_load(text)
        for step in changed["jobs"][windows_job]["steps"]:
            if step.get("id") == step_id:
                edit(step)
        return changed

    cases = [("every ctest entry of the build has its step", problems(entries, workflow), True),
             ("the Japanese manifests of this build's programs", manifest_problems(build), True),
             ("refused: a tier left out", problems(entries, without("ui_tests")), False),
             ("refused: a Japanese tier run as English",
              problems(entries, edited("e2e_tests", lambda s: s.update(run=s["run"].replace("ja-JP", "en-US")))), False),
             ("refused: a tier skipped that needs no Wine",
              problems(entries, edited("core_tests_real_registry", lambda s: s.update({"if": False}))), False)]
    failed = 0
    print(f"ctest entries of {build}: {', '.join(sorted(entries))}")
    for what, found, clean in cases:
        passed = not found if clean else bool(found)
        failed += not passed
        print(f"{'ok  ' if passed else 'FAIL'} {what}" + (f": {found[0]}" if found else ""))
        for line in found[1:] if not passed else []:
            print(f"       {line}")
    print(f"workflow_coverage: {len(cases) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
