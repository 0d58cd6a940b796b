// Checks a GitHub Actions workflow offline with GitHub's own parser and its
// workflow schema (@actions/workflow-parser, installed by tools/bootstrap),
// and that every action is pinned to a full commit hash. Then shows that the
// check refuses a misspelt key, a wrong value and an action pinned by tag.
//   node --no-warnings --loader ./json-loader.mjs check_workflow.mjs WORKFLOW
import { readFileSync } from "node:fs";
import { parseWorkflow, convertWorkflowTemplate, NoOperationTraceWriter } from "@actions/workflow-parser";

async function problems(name, content) {
  const parsed = parseWorkflow({ name, content }, new NoOperationTraceWriter());
  if (parsed.value) await convertWorkflowTemplate(parsed.context, parsed.value);
  const found = [...new Set(parsed.context.errors.getErrors().map((e) => e.message))];
  for (const [, action] of content.matchAll(/^\s*-?\s*uses:\s*(\S+)/gm))
    if (!/^[\w.-]+\/[\w.\/-]+@[0-9a-f]{40}$/.test(action)) found.push(`${action} is not pinned to a full commit hash`);
  return found;
}

const name = process.argv[2];
const content = readFileSync(name, "utf8");
const cases = [["the workflow", await problems(name, content), true]];
const broken = {
  "a misspelt key": content.replace("runs-on:", "runs-onn:"),
  "a wrong value": content.replace(/timeout-minutes: \d+/, "timeout-minutes: sixty"),
  "an action pinned by its tag": content.replace(/actions\/checkout@[0-9a-f]{40}/, "actions/checkout@v4"),
};
for (const [what, text] of Object.entries(broken)) cases.push([`refused: ${what}`, await problems(name, text), false]);

let failed = 0;
for (const [what, found, clean] of cases) {
  const passed = clean ? found.length === 0 : found.length > 0;
  failed += !passed;
  console.log(`${passed ? "ok  " : "FAIL"} ${what}${found.length ? `: ${found[0]}` : ""}`);
}
console.log(`workflow: ${cases.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
