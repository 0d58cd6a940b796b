#!/usr/bin/env python3
"""Fails when two items of one dialog or one menu share an access key (&X),
in every language of the resource script.

Usage: check_access_keys.py FILE.rc
"""
import re
import sys

ACCESS_KEY = re.compile(r'(?<!&)&([^&"])')


def blocks(lines):
    """Yields (name, texts) for each dialog and each popup menu of the .rc."""
    name, texts, depth, language = None, [], 0, ""
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("LANGUAGE "):
            language = stripped.split()[1].rstrip(",") + " "
        header = re.match(r'(\w+)\s+(DIALOGEX|DIALOG|MENU)\b', stripped)
        popup = re.match(r'POPUP\s+"', stripped)
        if header and depth == 0:
            name, texts = language + header.group(1), []
        elif popup:
            if texts:
                yield name, texts
            name, texts = f"{name} {stripped}", []
        elif stripped == "BEGIN":
            depth += 1
        elif stripped == "END":
            depth -= 1
            if depth == 0 and name:
                yield name, texts
                name, texts = None, []
        elif depth > 0:
            texts += re.findall(r'"((?:[^"]|"")*)"', stripped)[:1]


def main(path):
    with open(path, encoding="utf-8") as rc:
        lines = rc.readlines()
    clashes = 0
    for name, texts in blocks(lines):
        seen = {}
        for text in texts:
            for key in ACCESS_KEY.findall(text):
                key = key.lower()
                if key in seen:
                    print(f"{path}: {name}: '&{key}' in both {seen[key]!r} and {text!r}")
                    clashes += 1
                seen[key] = text
    return 1 if clashes else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
