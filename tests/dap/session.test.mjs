// Whole debug sessions on the demo program through a real DAP client.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import {
  startClient, launchAtEntry, topFrame, variablesByName, scope, lineOf,
  MAIN_C, MATHX_C, EXAMPLES_OUT,
} from './helpers.mjs';

let dc;
before(async () => { dc = await startClient(); });
after(async () => { await dc.stop(); });

test('launch with stopOnEntry stops in main', async () => {
  const stopped = await launchAtEntry(dc);
  assert.equal(stopped.body.reason, 'entry');
  const frame = await topFrame(dc);
  assert.equal(frame.name, 'main');
  assert.equal(path.basename(frame.source.path), 'main.c');
  const threads = await dc.threadsRequest();
  assert.deepEqual(threads.body.threads.map((t) => t.name), ['CPU12']);
});

test('a line breakpoint in a function is hit, with its frame and locals', async () => {
  const line = lineOf(MATHX_C, 'first = fib(n - 1);');
  const set = await dc.setBreakpointsRequest({ source: { path: MATHX_C }, breakpoints: [{ line }] });
  const bp = set.body.breakpoints[0];
  assert.equal(bp.verified, true);
  assert.equal(bp.line, line);
  const stopped = dc.waitForEvent('stopped');
  await dc.continueRequest({ threadId: 1 });
  const event = await stopped;
  assert.equal(event.body.reason, 'breakpoint');
  assert.deepEqual(event.body.hitBreakpointIds, [bp.id]);
  const frame = await topFrame(dc);
  assert.equal(frame.name, 'fib');
  assert.equal(frame.line, line);
  assert.match(frame.instructionPointerReference, /^0x[0-9A-F]+$/);
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  assert.deepEqual(trace.body.stackFrames.slice(0, 2).map((f) => f.name), ['fib', 'main']);
  const locals = await variablesByName(dc, await scope(dc, frame.id, 'Locals'));
  assert.equal(locals.n.value, '5');  // main calls fib(0 + 5) first
  await dc.setBreakpointsRequest({ source: { path: MATHX_C }, breakpoints: [] });
});

test('globals expand: struct members, nested structs, array elements, hex format', async () => {
  const frame = await topFrame(dc);
  const globals = await variablesByName(dc, await scope(dc, frame.id, 'Globals'));
  const box = await variablesByName(dc, globals.g_box.variablesReference);
  assert.deepEqual(Object.keys(box), ['tl', 'br', 'colour']);
  assert.equal(box.colour.value, '3');
  const br = await variablesByName(dc, box.br.variablesReference);
  assert.deepEqual([br.x.value, br.y.value], ['11', '7']);
  assert.equal(br.x.evaluateName, 'g_box.br.x');
  const rows = await variablesByName(dc, globals.g_table.variablesReference);
  const row1 = await variablesByName(dc, rows['[1]'].variablesReference);
  assert.deepEqual(Object.values(row1).map((v) => v.value), ['5', '6', '7', '8']);
  const hex = await dc.variablesRequest({ variablesReference: rows['[2]'].variablesReference, format: { hex: true } });
  assert.equal(hex.body.variables[3].value, '0x000C');
  // A pointer expands to what it points to.
  const head = await variablesByName(dc, globals.g_head.variablesReference);
  const target = await variablesByName(dc, head['*g_head'].variablesReference);
  assert.equal(target.value.value, '10');
});

test('evaluate, setVariable and setExpression change and read back', async () => {
  const frame = await topFrame(dc);
  const e = await dc.evaluateRequest({ expression: 'n * 2 + g_box.colour', frameId: frame.id, context: 'watch' });
  assert.equal(e.body.result, '13');
  const locals = await scope(dc, frame.id, 'Locals');
  const set = await dc.setVariableRequest({ variablesReference: locals, name: 'n', value: '7' });
  assert.equal(set.body.value, '7');
  assert.equal((await dc.evaluateRequest({ expression: 'n', frameId: frame.id, context: 'hover' })).body.result, '7');
  await dc.send('setExpression', { expression: 'g_box.tl.x', value: '40', frameId: frame.id });
  assert.equal((await dc.evaluateRequest({ expression: 'g_box.tl.x', context: 'watch' })).body.result, '40');
  // A hover never assigns.
  await assert.rejects(dc.evaluateRequest({ expression: 'n = 1', frameId: frame.id, context: 'hover' }));
  assert.equal((await dc.evaluateRequest({ expression: 'n', frameId: frame.id, context: 'watch' })).body.result, '7');
  await dc.setVariableRequest({ variablesReference: locals, name: 'n', value: '5' });
  // A console line starting with ">" is a Tav command.
  const r = await dc.evaluateRequest({ expression: '>x n', context: 'repl' });
  assert.match(r.body.result, /n = 5/);
  await assert.rejects(dc.evaluateRequest({ expression: 'no_such_name', context: 'watch' }));
});

test('step in, step out and step over', async () => {
  const callLine = lineOf(MATHX_C, 'first = fib(n - 1);');
  let stopped = dc.waitForEvent('stopped');
  await dc.stepInRequest({ threadId: 1 });
  assert.equal((await stopped).body.reason, 'step');
  let frame = await topFrame(dc);
  assert.equal(frame.name, 'fib');
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  assert.equal(trace.body.stackFrames.filter((f) => f.name === 'fib').length, 2);  // a new fib frame

  stopped = dc.waitForEvent('stopped');
  await dc.stepOutRequest({ threadId: 1 });
  await stopped;
  frame = await topFrame(dc);
  assert.equal(frame.name, 'fib');
  assert.equal((await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames.filter((f) => f.name === 'fib').length, 1);

  stopped = dc.waitForEvent('stopped');
  await dc.nextRequest({ threadId: 1 });
  await stopped;
  frame = await topFrame(dc);
  assert.equal(frame.name, 'fib');
  assert.ok(frame.line > callLine, `next went on past line ${callLine} (at ${frame.line})`);
});

test('a data breakpoint on a global stops on the write', async () => {
  const info = await dc.dataBreakpointInfoRequest({ name: 'g_total' });
  assert.equal(info.body.dataId, 'g_total');
  assert.ok(info.body.accessTypes.includes('write'));
  const set = await dc.setDataBreakpointsRequest({ breakpoints: [{ dataId: 'g_total', accessType: 'write' }] });
  assert.equal(set.body.breakpoints[0].verified, true);
  const stopped = dc.waitForEvent('stopped');
  await dc.continueRequest({ threadId: 1 });
  const event = await stopped;
  assert.equal(event.body.reason, 'data breakpoint');
  assert.deepEqual(event.body.hitBreakpointIds, [set.body.breakpoints[0].id]);
  const frame = await topFrame(dc);
  assert.equal(frame.name, 'main');
  assert.equal(frame.line, lineOf(MAIN_C, 'g_total = (s32)f;'));
  await dc.setDataBreakpointsRequest({ breakpoints: [] });
});

test('disassemble around the PC agrees with objdump', async () => {
  const pc = (await topFrame(dc)).instructionPointerReference;
  const r = await dc.send('disassemble', { memoryReference: pc, instructionOffset: -3, instructionCount: 8 });
  const list = r.body.instructions;
  assert.equal(list.length, 8);
  assert.equal(list[3].address, pc);
  for (let i = 0; i + 1 < list.length; i++) {
    const size = list[i].instructionBytes.split(' ').length;
    assert.equal(parseInt(list[i + 1].address, 16), parseInt(list[i].address, 16) + size, 'instructions are contiguous');
  }
  assert.equal(path.basename(list[3].location?.path ?? list.slice(0, 4).reverse().find((i) => i.location).location.path), 'main.c');
  // The independent oracle: the GNU disassembler's bytes and mnemonic at the PC.
  // The ELF has the code at its CPU address, 0xC000 for the global 0x7FC000.
  const address = parseInt(pc, 16) & 0xffff;
  const dump = execFileSync('m68hc11-objdump', ['-d', '-mm9s12x', `--start-address=${address}`,
    `--stop-address=${address + 8}`, path.join(EXAMPLES_OUT, 'demo.elf')], { encoding: 'latin1' });
  // "addr:\tbytes\tinstruction", long byte runs go on in lines of their own.
  const lines = dump.split('\n').filter((l) => /^\s*[0-9a-f]+:\t/.test(l)).map((l) => l.split('\t'));
  const text = lines[0][2];
  let bytes = lines[0][1].trim();
  for (const l of lines.slice(1)) {
    if (l.length > 2) break;
    bytes += ' ' + l[1].trim();
  }
  assert.equal(list[3].instructionBytes.toLowerCase(), bytes.replace(/\s+/g, ' '));
  assert.equal(list[3].instruction.split(/\s+/)[0].toLowerCase(), text.trim().split(/\s+/)[0].toLowerCase());
});

test('readMemory returns the bytes dump shows; writeMemory changes them', async () => {
  const where = await dc.evaluateRequest({ expression: 'g_table', context: 'watch' });
  const address = where.body.memoryReference;
  const mem = await dc.send('readMemory', { memoryReference: address, count: 8 });
  const bytes = [...Buffer.from(mem.body.data, 'base64')];
  const dump = await dc.evaluateRequest({ expression: `>dump ${address}, 8`, context: 'repl' });
  // "0fe07d 00 01 ...": the address, then the bytes.
  const shown = dump.body.result.split(/\s+/).slice(1, 9).map((h) => parseInt(h, 16));
  assert.deepEqual(bytes, shown);
  assert.deepEqual(bytes, [0, 1, 0, 2, 0, 3, 0, 4]);  // big-endian ints 1..4
  await dc.send('writeMemory', { memoryReference: address, offset: 1, data: Buffer.from([9]).toString('base64') });
  assert.equal((await dc.evaluateRequest({ expression: 'g_table[0][0]', context: 'watch' })).body.result, '9');
});

test('pause stops the endless loop', async () => {
  const running = dc.continueRequest({ threadId: 1 });
  await running;
  await new Promise((resolve) => setTimeout(resolve, 300));
  const stopped = dc.waitForEvent('stopped');
  await dc.pauseRequest({ threadId: 1 });
  assert.equal((await stopped).body.reason, 'pause');
  const frame = await topFrame(dc);
  assert.equal(frame.name, 'main');
  assert.ok(frame.line >= lineOf(MAIN_C, 'for (;;)'), `stopped in the loop (line ${frame.line})`);
});
