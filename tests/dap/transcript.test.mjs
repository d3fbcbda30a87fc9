// Transcripts of the raw protocol: the requests of a transcripts/*.txt file
// ("> " lines) are written as frames, and every message that comes back must
// equal its "< " line, in order, sequence numbers included. Paths are written
// as ${EXAMPLES_OUT} and ${EXAMPLES_SRC}. TAV_DAP_BLESS=1 writes the answers.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { RawAdapter, frame } from './raw.mjs';
import { EXAMPLES_OUT } from './helpers.mjs';

const dir = path.join(import.meta.dirname, 'transcripts');
const SRC = process.env.TAV_EXAMPLES_SRC;
const expand = (s) => s.replaceAll('${EXAMPLES_OUT}', EXAMPLES_OUT).replaceAll('${EXAMPLES_SRC}', SRC);
const collapse = (s) => s.replaceAll(EXAMPLES_OUT, '${EXAMPLES_OUT}').replaceAll(SRC, '${EXAMPLES_SRC}');

for (const name of readdirSync(dir).filter((f) => f.endsWith('.txt'))) {
  test(`transcript ${name}`, async () => {
    const lines = readFileSync(path.join(dir, name), 'utf8').split('\n');
    const requests = lines.filter((l) => l.startsWith('> ')).map((l) => JSON.parse(expand(l.slice(2))));
    const expected = lines.filter((l) => l.startsWith('< ')).map((l) => l.slice(2));
    const a = new RawAdapter();
    for (const r of requests) a.write(frame(r));
    const last = requests.at(-1).seq;
    await a.response(last);
    assert.equal(await a.exit, 0);
    const got = a.messages.map((m) => collapse(JSON.stringify(m)));
    if (process.env.TAV_DAP_BLESS) {
      const out = lines.filter((l) => l.startsWith('> ')).concat(got.map((g) => `< ${g}`));
      writeFileSync(path.join(dir, name), out.join('\n') + '\n');
      return;
    }
    assert.deepEqual(got, expected);
  });
}
