#!/usr/bin/env python3
"""The winget and Scoop manifests of a release, checked offline.

Makes the release zip of EXE with tools/package, writes its manifests with
tools/manifests, and checks each against its schema in packaging/schemas,
its hash against the zip and its address against packaging/release.conf;
then shows that the check refuses a wrong hash, a missing licence and a
misspelt field. Needs python3-jsonschema and python3-yaml.

  manifests_test.py EXE
"""
import copy
import hashlib
import json
import os
import subprocess
import sys
import tempfile

import jsonschema
import yaml

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
SCHEMAS = os.path.join(REPO, "packaging", "schemas")
VERSION = "1.04"
WINGET_KINDS = {kind: f"winget/winget-{kind}-1.6.0.json" for kind in ("version", "defaultLocale", "locale", "installer")}


def schema(name):
    with open(os.path.join(SCHEMAS, name), encoding="utf-8") as f:
        return json.load(f)


def problems(manifests, zip_path):
    """What is wrong with the manifests of the zip at zip_path; empty when nothing."""
    with open(zip_path, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()
    zip_name = os.path.basename(zip_path)
    found = []
    for name, document in manifests.items():
        kind = "scoop" if name.endswith(".json") else document.get("ManifestType")
        rules = schema("scoop/schema.json" if kind == "scoop" else WINGET_KINDS.get(kind, WINGET_KINDS["version"]))
        for error in jsonschema.Draft7Validator(rules).iter_errors(document):
            found.append(f"{name}: {error.message} at {'/'.join(map(str, error.absolute_path)) or 'top'}")
        if kind == "scoop":
            hashes, urls, version = [document.get("hash", "")], [document.get("url", "")], document.get("version")
        else:
            installers = document.get("Installers", [])
            hashes = [i.get("InstallerSha256", "") for i in installers]
            urls = [i.get("InstallerUrl", "") for i in installers]
            version = document.get("PackageVersion")
        if version != VERSION:
            found.append(f"{name}: version {version}, not {VERSION}")
        for h in hashes if kind in ("scoop", "installer") else []:
            if h.lower() != sha256:
                found.append(f"{name}: hash {h} is not the zip's {sha256}")
        for url in urls if kind in ("scoop", "installer") else []:
            if not url.endswith("/" + zip_name):
                found.append(f"{name}: address {url} is not of {zip_name}")
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
        zip_path = os.path.join(work, f"belltide-{VERSION}-win32.zip")
        subprocess.run([sys.executable, os.path.join(REPO, "tools", "package"), exe, zip_path], check=True)
        subprocess.run([sys.executable, os.path.join(REPO, "tools", "manifests"), VERSION, zip_path,
                        os.path.join(work, "out")], check=True)
        manifests = read(os.path.join(work, "out"))
        expected = {"scoop/belltide.json"} | {
            f"winget/manifests/b/Belltide/Belltide/{VERSION}/Belltide.Belltide{suffix}.yaml"
            for suffix in ("", ".installer", ".locale.en-US", ".locale.ja-JP")}
        cases = [("the manifests as written", set(manifests) == expected, sorted(set(manifests) ^ expected))]
        found = problems(manifests, zip_path)
        cases.append(("their schemas, hashes and addresses", not found, found))

        installer = next(n for n in manifests if n.endswith(".installer.yaml"))
        english = next(n for n in manifests if n.endswith(".locale.en-US.yaml"))
        mutations = {
            "a wrong hash (winget)": lambda m: m[installer]["Installers"][0].update(InstallerSha256="0" * 64),
            "a wrong hash (Scoop)": lambda m: m["scoop/belltide.json"].update(hash="f" * 64),
            "a missing licence (winget)": lambda m: m[english].pop("License"),
            "a missing licence (Scoop)": lambda m: m["scoop/belltide.json"].pop("license"),
            "a misspelt field (winget)": lambda m: m[english].update(Licence=m[english].pop("License")),
            "a misspelt field (Scoop)": lambda m: m["scoop/belltide.json"].update(
                persists=m["scoop/belltide.json"].pop("persist")),
        }
        for what, mutate in mutations.items():
            changed = copy.deepcopy(manifests)
            mutate(changed)
            refused = problems(changed, zip_path)
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
