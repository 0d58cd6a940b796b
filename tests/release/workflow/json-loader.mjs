// The parser imports its schema as a JSON module without saying so, as
// bundlers allow; Node wants the JSON type named.
export async function load(url, context, next) {
  if (!url.endsWith(".json")) return next(url, context);
  return next(url, { ...context, importAttributes: { type: "json" }, importAssertions: { type: "json" } });
}
