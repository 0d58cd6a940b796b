#!/usr/bin/env python3
"""The winget and Scoop manifests of a release, checked offline.

Makes the two release zips with tools/package (EXE as the 32-bit one, and a
copy of EXE one byte longer as the 64-bit one, so that the two hashes
differ), writes their manifests with tools/manifests, and checks each against
its published schema in packaging/schemas (draft 7, as each declares), its
hashes and addresses against the zips, the fields against those the schema
names, and what Belltide needs of them: an x86 and an x64 installer (winget),
32bit and 64bit entries, BTD.CFG alone persisted, an empty one made only where
the persist folder holds none, no command shim (Scoop). Then shows that the
check refuses a wrong hash, swapped installers, a missing licence, a misspelt
field and a persisted backup. Needs python3-jsonschema and python3-yaml.

  manifests_test.py EXE
"""
import copy
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

import jsonschema
import yaml

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
SCHEMAS = os.path.join(REPO, "packaging", "schemas")
VERSION = "1.04"
WINGET = {kind: f"winget/manifest.{kind}.1.10.0.json" for kind in ("version", "defaultLocale", "locale", "installer")}
DRAFT7 = "http://json-schema.org/draft-07/schema#"
ARCH = {"win32": ("x86", "32bit"), "win64": ("x64", "64bit")}


def schema(name):
    with open(os.path.join(SCHEMAS, name), encoding="utf-8") as f:
        rules = json.load(f)
    assert rules.get("$schema") == DRAFT7, f"{name} declares {rules.get('$schema')}, not draft 7"
    return rules


def unnamed_fields(document, rules):
    """Fields the schema names nowhere, at the top and in each installer: the published schemas allow
    more, so a misspelt optional field would pass them."""
    installer = rules.get("definitions", {}).get("Installer", {}).get("properties", {})
    found = [key for key in document if key not in rules["properties"]]
    for item in document.get("Installers", []):
        found += [f"Installers/{key}" for key in item if key not in installer]
    return found


def problems(manifests, zips):
    """What is wrong with the manifests of zips ({"win32": path, "win64": path}); empty when nothing."""
    sha = {}
    for suffix, path in zips.items():
        with open(path, "rb") as f:
            sha[suffix] = hashlib.sha256(f.read()).hexdigest()
    found = []
    for name, document in manifests.items():
        kind = "scoop" if name.endswith(".json") else document.get("ManifestType")
        rules = schema("scoop/schema.json" if kind == "scoop" else WINGET.get(kind, WINGET["version"]))
        for error in jsonschema.Draft7Validator(rules).iter_errors(document):
            found.append(f"{name}: {error.message} at {'/'.join(map(str, error.absolute_path)) or 'top'}")
        if kind != "scoop":
            found += [f"{name}: {field} is no field of the published schema" for field in unnamed_fields(document, rules)]
            if document.get("ManifestVersion") != "1.10.0":
                found.append(f"{name}: ManifestVersion {document.get('ManifestVersion')}, not 1.10.0")
        version = document.get("version" if kind == "scoop" else "PackageVersion")
        if version != VERSION:
            found.append(f"{name}: version {version}, not {VERSION}")
        if kind == "installer":
            installers = {i.get("Architecture"): i for i in document.get("Installers", [])}
            for suffix, (arch, _) in ARCH.items():
                entry = installers.pop(arch, {})
                if entry.get("InstallerSha256", "").lower() != sha[suffix]:
                    found.append(f"{name}: the {arch} installer's hash is not that of the {suffix} zip")
                if not entry.get("InstallerUrl", "").endswith("/" + os.path.basename(zips[suffix])):
                    found.append(f"{name}: the {arch} installer's address is not that of the {suffix} zip")
            found += [f"{name}: an installer for {arch}, which Belltide does not ship" for arch in installers]
        if kind == "scoop":
            for suffix, (_, arch) in ARCH.items():
                entry = document.get("architecture", {}).get(arch, {})
                if entry.get("hash", "").lower() != sha[suffix]:
                    found.append(f"{name}: the {arch} hash is not that of the {suffix} zip")
                if not entry.get("url", "").endswith("/" + os.path.basename(zips[suffix])):
                    found.append(f"{name}: the {arch} address is not that of the {suffix} zip")
            for field in ("url", "hash"):
                if field in document:
                    found.append(f"{name}: a top-level {field}, beside the architectures")
            if document.get("persist") not in ("BTD.CFG", ["BTD.CFG"]):
                found.append(f"{name}: persists {document.get('persist')}: BTD.CFG alone keeps its hard link")
            if "bin" in document:
                found.append(f"{name}: a command shim, which would start Belltide in the caller's folder")
            if "$persist_dir\\BTD.CFG" not in document.get("pre_install", ""):
                found.append(f"{name}: pre_install makes BTD.CFG without asking whether the persist folder holds one")
    return found


def read(folder):
    manifests = {}
    for root, _, files in os.walk(folder):
        for name in sorted(files):
            with open(os.path.join(root, name), encoding="utf-8") as f:
                text = f.read()
            manifests[os.path.relpath(os.path.join(root, name), folder)] = \
                json.loads(text) if name.endswith(".json") else yaml.safe_load(text)
    return manifests


def main():
    exe = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        other = os.path.join(work, "belltide.exe")
        shutil.copyfile(exe, other)
        with open(other, "ab") as f:
            f.write(b"\0")
        zips = {}
        for suffix, program in (("win32", exe), ("win64", other)):
            zips[suffix] = os.path.join(work, f"belltide-{VERSION}-{suffix}.zip")
            subprocess.run([sys.executable, os.path.join(REPO, "tools", "package"), program, zips[suffix]], check=True)
        subprocess.run([sys.executable, os.path.join(REPO, "tools", "manifests"), VERSION, zips["win32"],
                        zips["win64"], os.path.join(work, "out")], check=True)
        manifests = read(os.path.join(work, "out"))
        expected = {"scoop/belltide.json"} | {
            f"winget/manifests/b/Belltide/Belltide/{VERSION}/Belltide.Belltide{suffix}.yaml"
            for suffix in ("", ".installer", ".locale.en-US", ".locale.ja-JP")}
        cases = [("the manifests as written", set(manifests) == expected, sorted(set(manifests) ^ expected))]
        found = problems(manifests, zips)
        cases.append(("their published schemas, hashes, addresses and Belltide's needs", not found, found))

        installer = next(n for n in manifests if n.endswith(".installer.yaml"))
        english = next(n for n in manifests if n.endswith(".locale.en-US.yaml"))
        scoop = "scoop/belltide.json"
        mutations = {
            "a wrong hash (winget)": lambda m: m[installer]["Installers"][0].update(InstallerSha256="0" * 64),
            "a wrong hash (Scoop)": lambda m: m[scoop]["architecture"]["64bit"].update(hash="f" * 64),
            "the x86 and x64 installers swapped (winget)": lambda m: [
                i.update(Architecture={"x86": "x64", "x64": "x86"}[i["Architecture"]])
                for i in m[installer]["Installers"]],
            "a missing licence (winget)": lambda m: m[english].pop("License"),
            "a missing licence (Scoop)": lambda m: m[scoop].pop("license"),
            "a misspelt field (winget)": lambda m: m[english].update(Monikr=m[english].pop("Moniker")),
            "a misspelt field (Scoop)": lambda m: m[scoop].update(persists=m[scoop].pop("persist")),
            "the backup persisted too (Scoop)": lambda m: m[scoop].update(persist=["BTD.CFG", "BTD_BAK.CFG"]),
            "a command shim (Scoop)": lambda m: m[scoop].update(bin="belltide.exe"),
        }
        for what, mutate in mutations.items():
            changed = copy.deepcopy(manifests)
            mutate(changed)
            refused = problems(changed, zips)
            cases.append((f"refused: {what}", bool(refused), refused[:1]))

    for what, passed, detail in cases:
        print(f"{'ok  ' if passed else 'FAIL'} {what}" + ("" if passed else f": {detail}"))
        for line in (detail if passed and what.startswith("refused") else []):
            print(f"       {line}")
        failures += not passed
    print(f"manifests: {len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
