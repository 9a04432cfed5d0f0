// The web page's judge against the native one: every pair that the native
// program prints (its verdict beside it) must get the same verdict and the
// same "fully answered" answer from the WebAssembly module, and the set must
// reach every verdict the module knows.
// Usage: node judgeParity.mjs JUDGE.wasm PAIRS-PROGRAM
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { loadJudgeModule } from './judgeModule.mjs';

const [wasmPath, pairsProgram] = process.argv.slice(2);
const judge = await loadJudgeModule(readFileSync(wasmPath));
const lines = execFileSync(pairsProgram, { maxBuffer: 1 << 28 }).toString('latin1').trim().split('\n');
const bytes = (hex) => (hex === '-' ? new Uint8Array(0) : Uint8Array.from(Buffer.from(hex, 'hex')));

const reached = new Map();
let mismatches = 0;
for (const line of lines) {
  const [accepted, typed, verdict, matches] = line.split(' ');
  const got = judge.judgeBytes(bytes(accepted), bytes(typed));
  const want = Buffer.from(bytes(verdict)).toString('latin1');
  const gotMatches = judge.matchesBytes(bytes(accepted), bytes(typed)) ? '1' : '0';
  reached.set(got, (reached.get(got) || 0) + 1);
  if (got !== want || gotMatches !== matches) {
    if (++mismatches <= 10) console.error(`differs: ${line} -> ${got} ${gotMatches}`);
  }
}
const missing = judge.verdicts.filter((v) => !reached.has(v));
console.log(`${lines.length} pairs, ${mismatches} differ; verdicts reached:`,
  Object.fromEntries(reached));
if (lines.length < 10000) console.error('too few pairs');
if (missing.length) console.error('verdicts never reached:', missing);
process.exit(mismatches === 0 && missing.length === 0 && lines.length >= 10000 ? 0 : 1);
