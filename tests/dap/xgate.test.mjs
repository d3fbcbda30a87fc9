// A program with XGATE code: the XGATE is a second thread with a place of its own.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { startClient, EXAMPLES_OUT } from './helpers.mjs';

test('the XGATE is a thread while the program has XGATE code', async () => {
  const dc = await startClient();
  const stopped = dc.waitForEvent('stopped');
  await dc.initializeRequest();
  await dc.launchRequest({ program: path.join(EXAMPLES_OUT, 'xgdemo.x12'), stopOnEntry: true,
    sourcePath: [path.join(process.env.TAV_EXAMPLES_SRC, 'xgdemo')] });
  await dc.configurationDoneRequest();
  await stopped;
  const threads = await dc.threadsRequest();
  assert.deepEqual(threads.body.threads.map((t) => [t.id, t.name]), [[1, 'CPU12'], [2, 'XGATE']]);
  const frames = (await dc.stackTraceRequest({ threadId: 2 })).body.stackFrames;
  assert.ok(frames.length >= 1);
  assert.match(frames[0].instructionPointerReference, /^0x[0-9A-F]{6}$/);
  const cpu = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames[0];
  assert.equal(cpu.name, 'main');
  await dc.stop();
});
