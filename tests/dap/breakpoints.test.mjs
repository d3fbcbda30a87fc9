// Breakpoints beyond plain lines: log points, conditions, hit counts,
// functions, instructions; registers; restart and terminate; the TCP port.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import dts from '@vscode/debugadapter-testsupport';
import {
  startClient, launchAtEntry, topFrame, variablesByName, scope, lineOf, MATHX_C, ADAPTER,
} from './helpers.mjs';

let dc;
before(async () => { dc = await startClient(); await launchAtEntry(dc); });
after(async () => { await dc.stop(); });

const addLine = lineOf(MATHX_C, 'call_count++;');
const cont = async () => {
  const stopped = dc.waitForEvent('stopped');
  await dc.continueRequest({ threadId: 1 });
  return stopped;
};
const restartAtEntry = async () => {
  const stopped = dc.waitForEvent('stopped');
  await dc.restartRequest({});
  assert.equal((await stopped).body.reason, 'entry');
};
const evaluate = async (expression) => (await dc.evaluateRequest({ expression, context: 'watch' })).body.result;

test('log points print and go on; a function breakpoint stops', async () => {
  const outputs = [];
  dc.on('output', (e) => outputs.push(e.body.output));
  const log = await dc.setBreakpointsRequest({
    source: { path: MATHX_C }, breakpoints: [{ line: addLine, logMessage: 'add "b"={b} 100%' }],
  });
  assert.equal(log.body.breakpoints[0].verified, true);
  const fn = await dc.setFunctionBreakpointsRequest({ breakpoints: [{ name: 'factorial' }] });
  assert.equal(fn.body.breakpoints[0].verified, true);
  const event = await cont();
  assert.deepEqual(event.body.hitBreakpointIds, [fn.body.breakpoints[0].id]);
  assert.equal((await topFrame(dc)).name, 'factorial');
  // fib(5..8) are added: 5, 8, 13, 21.
  assert.deepEqual(outputs.filter((o) => o.startsWith('add')), [5, 8, 13, 21].map((b) => `add "b"=${b} 100%\n`));
  await dc.setFunctionBreakpointsRequest({ breakpoints: [] });
});

test('a condition and a hit count choose the stop', async () => {
  await restartAtEntry();
  await dc.setBreakpointsRequest({ source: { path: MATHX_C }, breakpoints: [{ line: addLine, condition: 'b > 20' }] });
  assert.equal((await cont()).body.reason, 'breakpoint');
  assert.equal(await evaluate('b'), '21');
  await restartAtEntry();
  await dc.setBreakpointsRequest({ source: { path: MATHX_C }, breakpoints: [{ line: addLine, hitCondition: '2' }] });
  await cont();
  assert.equal(await evaluate('b'), '8');
  const bad = await dc.setBreakpointsRequest({
    source: { path: MATHX_C }, breakpoints: [{ line: addLine, hitCondition: 'often' }, { line: 9999 }],
  });
  assert.deepEqual(bad.body.breakpoints.map((b) => b.verified), [false, false]);
  await dc.setBreakpointsRequest({ source: { path: MATHX_C }, breakpoints: [] });
});

test('an instruction breakpoint stops at its address; registers show it', async () => {
  const fn = await dc.setFunctionBreakpointsRequest({ breakpoints: [{ name: 'gcd' }] });
  const address = fn.body.breakpoints[0].instructionReference;
  assert.match(address, /^0x[0-9A-F]{6}$/);
  await dc.setFunctionBreakpointsRequest({ breakpoints: [] });
  const set = await dc.send('setInstructionBreakpoints', { breakpoints: [{ instructionReference: address }] });
  const event = await cont();
  assert.deepEqual(event.body.hitBreakpointIds, [set.body.breakpoints[0].id]);
  const frame = await topFrame(dc);
  assert.equal(frame.name, 'gcd');
  assert.equal(frame.instructionPointerReference, address);
  const regs = await variablesByName(dc, await scope(dc, frame.id, 'Registers'));
  for (const name of ['a', 'b', 'd', 'x', 'y', 's', 'pc', 'ccr', 'ppc']) assert.ok(regs[name], name);
  assert.equal(parseInt(regs.ppc.value, 16), parseInt(address, 16));
  assert.equal(parseInt(regs.d.value, 16), parseInt(regs.a.value, 16) * 256 + parseInt(regs.b.value, 16));
  await dc.send('setInstructionBreakpoints', { breakpoints: [] });
});

test('Tav commands in the console keep the breakpoint list in step; a console go is announced', async () => {
  const events = [];
  dc.on('breakpoint', (e) => events.push(e.body));
  const repl = async (line) => (await dc.evaluateRequest({ expression: line, context: 'repl' })).body.result;
  await restartAtEntry();
  await repl('>break gcd');
  const made = events.at(-1);
  assert.equal(made.reason, 'new');
  assert.equal(made.breakpoint.verified, true);
  const number = /\((\d+)\)/.exec(await repl('>break'))[1];
  await repl(`>break /s ${number}`);
  assert.deepEqual([events.at(-1).reason, events.at(-1).breakpoint.id, events.at(-1).breakpoint.verified],
    ['changed', made.breakpoint.id, false]);
  await repl(`>break /a ${number}`);
  const continued = dc.waitForEvent('continued');
  const stopped = dc.waitForEvent('stopped');
  await repl('>go');
  await continued;
  const event = await stopped;
  assert.deepEqual(event.body.hitBreakpointIds, [made.breakpoint.id]);
  await repl(`>del ${number}`);
  assert.deepEqual([events.at(-1).reason, events.at(-1).breakpoint.id], ['removed', made.breakpoint.id]);
});

test('an undefined opcode stops a step with an exception', async () => {
  const pc = (await topFrame(dc)).instructionPointerReference;
  await dc.send('writeMemory', { memoryReference: pc, data: Buffer.from([0x18, 0x38]).toString('base64') });
  const stopped = dc.waitForEvent('stopped');
  await dc.send('stepIn', { threadId: 1, granularity: 'instruction' });
  const event = await stopped;
  assert.equal(event.body.reason, 'exception');
  assert.match(event.body.text, new RegExp(`CPU12 .* ${pc}$`));
});

test('terminate ends the debuggee: exited, then terminated', async () => {
  const order = [];
  dc.on('exited', () => order.push('exited'));
  const terminated = dc.waitForEvent('terminated');
  await dc.terminateRequest({});
  await terminated;
  assert.deepEqual(order, ['exited']);
});

test('a client connects on the TCP port', async () => {
  const port = 20000 + (process.pid % 20000);
  const proc = spawn(ADAPTER, ['--dap-port', String(port)], { stdio: ['ignore', 'ignore', 'pipe'] });
  const exited = new Promise((resolve) => proc.on('exit', resolve));
  await new Promise((resolve) => proc.stderr.on('data', (d) => { if (/listening/.test(d)) resolve(); }));
  const client = new dts.DebugClient(ADAPTER, '', 'tav');
  await client.start(port);
  assert.equal((await client.initializeRequest()).success, true);
  await client.disconnectRequest({});
  client.stopAdapter();
  assert.equal(await exited, 0);
});
