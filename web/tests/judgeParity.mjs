// The web page's judge against the native one: every pair that the native
// program prints (its verdict beside it, and the other answers its box
// accepts) must get the same verdict and the same "fully answered" answer
// from the WebAssembly module, and the set must reach every verdict the
// module knows.
// Usage: node judgeParity.mjs JUDGE.wasm PAIRS-PROGRAM
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { loadJudgeModule } from './judgeModule.mjs';

const [wasmPath, pairsProgram] = process.argv.slice(2);
const judge = await loadJudgeModule(readFileSync(wasmPath));
const lines = execFileSync(pairsProgram, { maxBuffer: 1 << 28 }).toString('latin1').trim().split('\n');
const bytes = (hex) => (hex === '-' ? new Uint8Array(0) : Uint8Array.from(Buffer.from(hex, 'hex')));

const reached = new Map();
const boxesWithOthers = new Set();
let mismatches = 0;
for (const line of lines) {
  const [accepted, typed, verdict, matches, otherList] = line.split(' ');
  const others = otherList === '-' ? [] : otherList.split(',').map(bytes);
  const got = judge.judgeBytes(bytes(accepted), bytes(typed), others);
  const want = Buffer.from(bytes(verdict)).toString('latin1');
  const gotMatches = judge.matchesBytes(bytes(accepted), bytes(typed), others) ? '1' : '0';
  reached.set(got, (reached.get(got) || 0) + 1);
  if (others.length) boxesWithOthers.add(`${accepted} ${otherList}`);
  if (got !== want || gotMatches !== matches) {
    if (++mismatches <= 10) console.error(`differs: ${line} -> ${got} ${gotMatches}`);
  }
}
const missing = judge.verdicts.filter((v) => !reached.has(v));
console.log(`${lines.length} pairs, ${mismatches} differ; verdicts reached:`,
  Object.fromEntries(reached));
if (lines.length < 10000) console.error('too few pairs');
if (missing.length) console.error('verdicts never reached:', missing);
console.log(`${boxesWithOthers.size} boxes with other accepted answers`);
if (boxesWithOthers.size < 20) console.error('too few boxes with other accepted answers');
process.exit(mismatches === 0 && missing.length === 0 && lines.length >= 10000 && boxesWithOthers.size >= 20 ? 0 : 1);
