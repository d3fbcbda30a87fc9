// Shared by the protocol tests: where the adapter and the demo program are,
// a DebugClient started on the adapter, and line numbers looked up in the
// demo's sources (so that the tests do not restate them).
import { readFileSync } from 'node:fs';
import path from 'node:path';
import dts from '@vscode/debugadapter-testsupport';

export const ADAPTER = process.env.TAV_DAP;
export const EXAMPLES_OUT = process.env.TAV_EXAMPLES_OUT;
export const DEMO_SRC = path.join(process.env.TAV_EXAMPLES_SRC, 'demo');
export const PROGRAM = path.join(EXAMPLES_OUT, 'demo.x12');
export const MAIN_C = path.join(DEMO_SRC, 'main.c');
export const MATHX_C = path.join(DEMO_SRC, 'mathx.c');

// The 1-based line of the first source line containing `text`.
export function lineOf(file, text) {
  const index = readFileSync(file, 'latin1').split('\n').findIndex((l) => l.includes(text));
  if (index < 0) throw new Error(`${text} not in ${file}`);
  return index + 1;
}

export async function startClient() {
  const dc = new dts.DebugClient(ADAPTER, '--stdio', 'tav');
  dc.defaultTimeout = 20000;
  await dc.start();
  return dc;
}

export function launchArgs(extra = {}) {
  return { program: PROGRAM, sourcePath: [DEMO_SRC], ...extra };
}

// Launches with stopOnEntry and waits for the entry stop.
export async function launchAtEntry(dc, extra = {}) {
  const stopped = dc.waitForEvent('stopped');
  await dc.initializeRequest();
  const initialized = dc.waitForEvent('initialized');
  await dc.launchRequest(launchArgs({ stopOnEntry: true, ...extra }));
  await initialized;
  await dc.configurationDoneRequest();
  return stopped;
}

export async function topFrame(dc) {
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  return trace.body.stackFrames[0];
}

// The variables of a reference as { name: variable }.
export async function variablesByName(dc, ref) {
  const r = await dc.variablesRequest({ variablesReference: ref });
  return Object.fromEntries(r.body.variables.map((v) => [v.name, v]));
}

export async function scope(dc, frameId, name) {
  const r = await dc.scopesRequest({ frameId });
  return r.body.scopes.find((s) => s.name === name).variablesReference;
}
