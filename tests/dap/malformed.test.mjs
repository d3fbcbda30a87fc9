// Malformed input: each bad message is answered with success:false and the
// adapter goes on serving the next one.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { RawAdapter, frame } from './raw.mjs';

const request = (seq, command, args) => ({ seq, type: 'request', command, ...(args ? { arguments: args } : {}) });

test('bad frames and bad requests are refused, the session goes on', async () => {
  const a = new RawAdapter();
  // Before initialize: refused.
  a.write(frame(request(1, 'threads')));
  assert.equal((await a.response(1)).success, false);
  // Not JSON, JSON that is not a request, a request without a command.
  a.write(frame('{"seq": 2, "type": "request", "command": '));
  a.write(frame('[1, 2, 3]'));
  a.write(frame({ seq: 3, type: 'event', event: 'x' }));
  a.write(frame({ seq: 4, type: 'request' }));
  a.write(frame({ seq: 5, type: 'request', command: 'initialize', arguments: 'none' }));
  // A header without a usable length, and a length that cuts the body short.
  a.write('Content-Length: twelve\r\n\r\n{}');
  a.write('Content-Type: json\r\n\r\n{}');
  const body = JSON.stringify(request(6, 'initialize', {}));
  a.write(`Content-Length: ${body.length - 5}\r\n\r\n${body}`);
  a.write(frame(request(7, 'initialize', { adapterID: 'tav' })));
  const init = await a.response(7);
  assert.equal(init.success, true);
  assert.equal(init.body.supportsConfigurationDoneRequest, true);
  const refusals = a.messages.filter((m) => m.type === 'response' && !m.success);
  assert.ok(refusals.length >= 8, `every bad message got an answer (${refusals.length})`);
  for (const r of refusals) assert.equal(typeof r.message, 'string');

  // Unknown commands, requests that need a program, missing and mistyped arguments.
  const bad = [
    request(10, 'noSuchCommand'),
    request(11, 'stepBack', { threadId: 1 }),
    request(12, 'stackTrace', { threadId: 1 }),
    request(13, 'launch', {}),
    request(14, 'launch', { program: '/no/such/file.x12' }),
    request(15, 'launch', { program: 42 }),
    request(16, 'attach', {}),
  ];
  for (const r of bad) a.write(frame(r));
  for (const r of bad) assert.equal((await a.response(r.seq)).success, false, r.command);

  // Threads are answered before a program is loaded.
  a.write(frame(request(20, 'threads')));
  assert.equal((await a.response(20)).success, true);
  a.write(frame(request(21, 'disconnect', {})));
  assert.equal((await a.response(21)).success, true);
  assert.equal(await a.exit, 0);
});

test('missing arguments after launch get an error each', async () => {
  const a = new RawAdapter();
  const { PROGRAM } = await import('./helpers.mjs');
  a.write(frame(request(1, 'initialize', {})));
  a.write(frame(request(2, 'launch', { program: PROGRAM, stopOnEntry: true })));
  assert.equal((await a.response(2)).success, true);
  const bad = [
    request(3, 'setBreakpoints', {}),
    request(4, 'scopes', {}),
    request(5, 'variables', {}),
    request(6, 'variables', { variablesReference: 999 }),
    request(7, 'evaluate', {}),
    request(8, 'setVariable', { variablesReference: 1 }),
    request(9, 'readMemory', { memoryReference: 'nowhere', count: 4 }),
    request(10, 'readMemory', { memoryReference: '0x1000', count: -1 }),
    request(11, 'writeMemory', { memoryReference: '0x1000', data: '!!' }),
    request(12, 'disassemble', { memoryReference: '0x1000' }),
    request(13, 'dataBreakpointInfo', {}),
    request(14, 'setExpression', { expression: 'g_int' }),
    request(15, 'evaluate', { expression: 'g_int +', context: 'watch' }),
    request(16, 'setVariable', { variablesReference: 1, name: 'x', value: '1; quit' }),
    request(17, 'setBreakpoints', { source: 'main.c' }),
  ];
  for (const r of bad) a.write(frame(r));
  for (const r of bad) {
    const response = await a.response(r.seq);
    assert.equal(response.success, false, `${r.command} ${JSON.stringify(r.arguments)}`);
    assert.ok(response.message.length > 0);
  }
  a.write(frame(request(30, 'evaluate', { expression: 'g_small', context: 'watch' })));
  assert.equal((await a.response(30)).body.result, '7');
  assert.equal(await a.close(), 0);
});
