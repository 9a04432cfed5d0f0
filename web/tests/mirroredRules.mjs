// The rules the page applies again in JavaScript (mirroredRules in
// web/player.js) against the player's own C++ functions, on one table of
// cases: the C++ side answers through the host program mirroredRules, the
// JavaScript side is the page's own function, with the limits the writer
// gives the page. Every case must agree, and each rule's cases must reach
// each of its outcomes.
// Usage: node mirroredRules.mjs MIRRORED-RULES-PROGRAM
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const right = 'BRAVO';
const long = (n) => `https://${'a'.repeat(n - 'https://'.length)}`;
const cases = {
  link: ['https://www.ecole.example.fr/cm2/', 'http://example.fr', 'https://example.fr/~!{}|^?a=1&b=%20#x',
    'https://http://x.fr', 'http://www.www.x.fr/', 'https://x.fr//', 'https://x', long(259), long(260),
    'https://', 'http://', 'ftp://example.fr', 'HTTPS://example.fr', 'javascript:alert(1)', '', ' https://x.fr',
    'https://exa mple.fr', 'https://x.fr/"a"', 'https://x.fr/<a>', 'https://x.fr\\a', 'https://x.fr/`a`',
    'https://x.fr/\ta', 'https://x.fr/\x7f', 'https://éxample.fr', 'www.x.fr', 'https://www.'],
  boxes: [[0, 1], [0, 2], [1, 1], [1, 2], [2, 2], [3, 1], [3, 2]],
  colour: [[0, 0], [69, 69], [70, 0], [0, 70], [69, 255], [255, 255], [40, 69]],
  score: [
    [2, 1, [right, 'FAUX']], [2, 2, [right, right, right, 'Presque']], [3, 1, [right, right, right]],
    [1, 2, ['?', right]], [0, 1, []], [2, 0, []], [1, 1, ['bravo']], [1, 1, [`${right} `]], [2, 1, ['?', '?']],
  ],
  reward: [
    [0, ['A', 'B', 'C']], [-1, ['A']], [1, ['A', 'B', 'C']], [3, ['A', 'B', 'C']], [4, ['A', 'B', 'C']],
    [96, Array.from({ length: 97 }, (_, i) => `C${i + 1}`)], [97, Array.from({ length: 97 }, (_, i) => `C${i + 1}`)],
    [2, ['Réussi', 'Très bien !']],
  ],
};

// The page's function, taken out of the script as the page runs it.
const script = readFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), '../player.js'), 'utf8');
const start = script.indexOf('  function mirroredRules(');
const end = script.indexOf('\n  // --- ', start);
if (start < 0 || end < 0) throw new Error('player.js has no mirroredRules section');
const mirroredRules = new Function(`${script.slice(start, end)}\nreturn mirroredRules;`)();

// Texts go to the C++ side as the bytes the page's data carries them in
// (UTF-8), and come back the same way.
const hex = (text) => (text === '' ? '-' : Buffer.from(text, 'utf8').toString('hex'));
const unhex = (word) => (word === '-' ? '' : Buffer.from(word, 'hex').toString('utf8'));
const lines = [
  ...cases.link.map((text) => `link ${hex(text)}`),
  ...cases.boxes.map(([kind, answers]) => `boxes ${kind} ${answers}`),
  ...cases.colour.map(([red, green]) => `colour ${red} ${green}`),
  ...cases.score.map(([n, m, labels]) => `score ${n} ${m} ${labels.map(hex).join(' ')}`),
  ...cases.reward.map(([score, codes]) => `reward ${score} ${codes.map(hex).join(' ')}`),
];
const [rulesLine, ...answers] = execFileSync(process.argv[2], { input: `${lines.join('\n')}\n` })
  .toString('latin1').trimEnd().split('\n');
const rules = mirroredRules(JSON.parse(rulesLine));

const javascript = [
  ...cases.link.map((text) => {
    const isWeb = rules.isWebAddress(text);
    // The header shows the text of an address it accepts only.
    return `${isWeb ? 1 : 0} ${isWeb ? hex(rules.linkText(text)) : '*'}`;
  }),
  ...cases.boxes.map(([kind, answers]) => String(rules.effectiveAnswersPerQuestion(kind, answers))),
  ...cases.colour.map(([red, green]) => (rules.blackTextOnQuizColour(red, green) ? '1' : '0')),
  ...cases.score.map(([n, m, labels]) => String(rules.countScore(n, m, (k) => labels[k - 1], right))),
  ...cases.reward.map(([score, codes]) => hex(rules.rewardText(codes, score))),
];
const native = answers.map((answer, i) =>
  (lines[i].startsWith('link ') && answer.startsWith('0 ') ? '0 *' : answer));

let differ = 0;
const outcomes = new Map();
lines.forEach((line, i) => {
  const rule = line.split(' ')[0];
  outcomes.set(rule, (outcomes.get(rule) || new Set()).add(native[i].split(' ')[0]));
  if (native[i] !== javascript[i]) {
    differ++;
    const shown = (answer) => answer.split(' ').map((w) => (/^[0-9a-f]{2,}$/.test(w) ? unhex(w) : w)).join(' ');
    console.error(`differs: ${line}\n  C++:        ${shown(native[i])}\n  JavaScript: ${shown(javascript[i])}`);
  }
});
// A table whose cases all give one answer would agree on a rule left out.
const few = [...outcomes].filter(([, seen]) => seen.size < 2).map(([rule]) => rule);
if (few.length) console.error('rules whose cases reach one outcome only:', few);
if (answers.length !== lines.length) console.error(`${answers.length} answers to ${lines.length} cases`);
console.log(`${lines.length} cases, ${differ} differ`);
process.exit(differ === 0 && few.length === 0 && answers.length === lines.length ? 0 : 1);
