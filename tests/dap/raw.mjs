// The adapter driven through raw bytes: frames written as given, every
// message that comes back collected in order.
import { spawn } from 'node:child_process';
import { ADAPTER } from './helpers.mjs';

export function frame(body) {
  const text = typeof body === 'string' ? body : JSON.stringify(body);
  return `Content-Length: ${Buffer.byteLength(text)}\r\n\r\n${text}`;
}

export class RawAdapter {
  constructor() {
    this.proc = spawn(ADAPTER, ['--stdio'], { stdio: ['pipe', 'pipe', 'inherit'] });
    this.buffer = Buffer.alloc(0);
    this.messages = [];
    this.waiters = [];
    this.exit = new Promise((resolve) => this.proc.on('exit', (code) => resolve(code)));
    this.proc.stdout.on('data', (chunk) => {
      this.buffer = Buffer.concat([this.buffer, chunk]);
      for (;;) {
        const end = this.buffer.indexOf('\r\n\r\n');
        if (end < 0) return;
        const length = Number(/Content-Length: (\d+)/.exec(this.buffer.subarray(0, end).toString())[1]);
        if (this.buffer.length < end + 4 + length) return;
        this.messages.push(JSON.parse(this.buffer.subarray(end + 4, end + 4 + length).toString()));
        this.buffer = this.buffer.subarray(end + 4 + length);
        this.waiters = this.waiters.filter((w) => !w());
      }
    });
  }

  write(bytes) { this.proc.stdin.write(bytes); }

  // Resolves with the first message that satisfies `match`, once it has come.
  waitFor(match) {
    return new Promise((resolve) => {
      const check = () => {
        const found = this.messages.find(match);
        if (found) resolve(found);
        return !!found;
      };
      if (!check()) this.waiters.push(check);
    });
  }

  response(seq) { return this.waitFor((m) => m.type === 'response' && m.request_seq === seq); }

  async close() {
    this.proc.stdin.end();
    return this.exit;
  }
}
