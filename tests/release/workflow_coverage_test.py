#!/usr/bin/env python3
"""Every Windows test program is run by the Windows workflow, none skipped
for its code page.

Each ctest entry of a Windows build (ctest --show-only=json-v1) needs a step
of .github/workflows/windows.yml whose id is its name: a test program in a
Windows job, through .github/scripts/run-tier.ps1 -Name NAME with the same
program and arguments ("belltide.exe" for the build's, the shipped one
there) in the pass of its code page (en-US where ctest sets an English
BELLTIDE_LOCALE, ja-JP everywhere else); a host check (Python) or script in
the Linux job; skipped (`if: false`) only where it needs Wine, saying so. Also checks
that tools/code-page-manifest gives this build's programs activeCodePage
ja-JP, and shows that the check refuses a tier left out, a Japanese tier run
as English and a tier skipped that needs no Wine.

  workflow_coverage_test.py WORKFLOW BUILD_DIR CTEST
"""
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

import yaml

from check_cases import report

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
WINE_ONLY = {"e2e_session_end"}  # wineboot --end-session ends the session from inside the test
HOST_SCRIPTS = {"make_test_sounds"}  # makes files on the build host for the Windows tiers


def ctest_entries(build, ctest):
    shown = json.loads(subprocess.run([ctest, "--show-only=json-v1"], cwd=build, check=True,
                                      capture_output=True, text=True).stdout)
    return {t["name"]: (t["command"], {k: v for p in t.get("properties", []) if p["name"] == "ENVIRONMENT"
                                       for k, v in (i.split("=", 1) for i in p["value"])})
            for t in shown["tests"] if t["name"] != "workflow_coverage"}


def problems(entries, workflow):
    found, steps = [], {}
    for job_id, job in workflow["jobs"].items():
        for step in job.get("steps", []):
            steps[step.get("id")] = (job_id, "container" in job, step)
    for name, (command, env) in entries.items():
        if name not in steps:
            found.append(f"{name}: no step of the workflow runs it (a step with id {name})")
            continue
        job, linux, step = steps[name]
        run = " " + " ".join(str(step.get("run", "")).replace("'", "").split()) + " "
        if step.get("if") is False or name in WINE_ONLY:
            if not (step.get("if") is False and name in WINE_ONLY and "Wine" in step.get("name", "")):
                found.append(f"{name}: skipped in {job} but needs no Wine, or needs Wine and is not skipped saying so")
            continue
        host = command[1] if os.path.basename(command[0]).startswith("python") else command[0]
        if os.path.basename(command[0]).startswith("python") or os.path.basename(host) in HOST_SCRIPTS:
            if not linux or os.path.basename(host) not in run:
                found.append(f"{name}: a host step, not run by the Linux job with {os.path.basename(host)}")
            continue
        english = env.get("BELLTIDE_LOCALE", "ja").startswith("en")
        if os.path.basename(command[1]) == "released_zip.sh":  # bash released_zip.sh BELLTIDE E2E_TESTS
            words = ["-Zip", os.path.basename(command[3]), "belltide.exe", "--gtest_filter=Released.*"]
        else:  # the emulator (tools/wine-exec), the program, its arguments
            words = [os.path.basename(w) if w.endswith(".exe") else w for w in command[1:]]
        words += ["run-tier.ps1", f"-Name {name}", f"-Pass {'en-US' if english else 'ja-JP'}"]
        found += [f"{name}: its step in {job} lacks {w}" for w in words if linux or f" {w} " not in run
                  and f"/{w} " not in run]
    return found


def manifest_problems(build):
    found = []
    for path in ("belltide.exe", "tests/core/core_tests.exe", "tests/ui/ui_tests.exe", "tests/e2e/e2e_tests.exe"):
        made = subprocess.run([sys.executable, os.path.join(REPO, "tools", "code-page-manifest"),
                               os.path.join(build, path), "ja-JP"], capture_output=True, text=True, check=True)
        root = ET.fromstring(made.stdout.split("\n", 1)[1])
        pages = [e.text for e in root.iter("{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage")]
        if pages != ["ja-JP"] or (path == "belltide.exe" and not any(e.tag.endswith("dpiAwareness") for e in root.iter())):
            found.append(f"{path}: its manifest names the code pages {pages} or lost the program's own")
    return found


def main():
    workflow_path, build, ctest = sys.argv[1:]
    with open(workflow_path, encoding="utf-8") as f:
        text = f.read()
    entries = ctest_entries(build, ctest)

    def changed(step_id, edit):
        workflow = yaml.safe_load(text)
        for job in workflow["jobs"].values():
            job["steps"] = [edit(s) if s.get("id") == step_id else s for s in job.get("steps", [])]
            job["steps"] = [s for s in job["steps"] if s]
        return workflow

    cases = [("every ctest entry of the build has its step", problems(entries, yaml.safe_load(text)), True),
             ("the Japanese manifests of this build's programs", manifest_problems(build), True),
             ("refused: a tier left out", problems(entries, changed("ui_tests", lambda s: None)), False),
             ("refused: a Japanese tier run as English", problems(entries, changed(
                 "e2e_tests", lambda s: {**s, "run": s["run"].replace("ja-JP", "en-US")})), False),
             ("refused: a tier skipped that needs no Wine",
              problems(entries, changed("core_tests_real_registry", lambda s: {**s, "if": False})), False)]
    print(f"ctest entries of {build}: {', '.join(sorted(entries))}")
    return report("workflow_coverage", cases)


if __name__ == "__main__":
    sys.exit(main())
