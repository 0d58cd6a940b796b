#!/usr/bin/env python3
"""The Windows workflow against SchemaStore's published workflow schema,
offline (packaging/schemas/github-workflow); then shows that the check
refuses a misspelt key and a wrong value. Needs python3-jsonschema and
python3-yaml.

  workflow_schema_test.py WORKFLOW
"""
import json
import os
import sys

import jsonschema
import yaml

from check_cases import report

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)


def problems(text):
    with open(os.path.join(REPO, "packaging", "schemas", "github-workflow", "github-workflow.json")) as f:
        schema = json.load(f)
    workflow = yaml.safe_load(text)
    if True in workflow:  # YAML 1.1 reads the key "on" as true
        workflow["on"] = workflow.pop(True)
    return [f"{'/'.join(map(str, e.absolute_path)) or 'top'}: {e.message[:160]}"
            for e in jsonschema.Draft7Validator(schema).iter_errors(workflow)]


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    cases = [("the workflow", problems(text), True),
             ("refused: a misspelt key", problems(text.replace("runs-on:", "runs-onn:")), False),
             ("refused: a wrong value", problems(text.replace("timeout-minutes: 60", "timeout-minutes: sixty")), False)]
    return report("workflow_schema", cases)


if __name__ == "__main__":
    sys.exit(main())
