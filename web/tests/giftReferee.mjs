// Holds the GIFT reader to gift-pegjs, an independent parser of the format,
// on every hand-written bank of a folder: both must agree on which questions
// Vetra can ask (short answers with a right answer at 100 %, numerical ones
// with one exact value), on their names, texts, right answers and comments,
// and on how many questions are left out; both refuse the broken ones, at
// the same line. The corpus must reach every type.
// Usage: node giftReferee.mjs BANK-READING-PROGRAM FOLDER
import { execFileSync } from 'node:child_process';
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const require = createRequire(path.join(path.dirname(fileURLToPath(import.meta.url)), '../package.json'));
const gift = require('gift-pegjs');

const [program, folder] = process.argv.slice(2);
const entities = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'", nbsp: ' ', eacute: 'é' };
const collapse = (text) => text.replace(/[ \t\r\n]+/g, ' ').trim();
// What a reader sees of a text: the HTML formats lose their tags and entities.
const readable = (text) => {
  if (!text) return '';
  if (text.format !== 'html' && text.format !== 'moodle') return collapse(text.text);
  return collapse(text.text.replace(/<[a-zA-Z/!][^>]*>/g, ' ').replace(/&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);/g,
    (all, name) => {
      if (name[0] === '#') return String.fromCodePoint(name[1] === 'x' ? parseInt(name.slice(2), 16) : +name.slice(1));
      return entities[name] ?? all;
    }));
};
const right = (choice) => choice.isCorrect && (choice.weight === null || choice.weight === 100);
// Vetra folds case, so answers differing only by it are one.
const distinct = (answers) => answers.filter((a, i) => answers.findIndex((b) => b.toUpperCase() === a.toUpperCase()) === i);

// What Vetra should make of one question of gift-pegjs, or null.
function expected(q) {
  if (q.type === 'Short') {
    const kept = q.choices.filter(right);
    if (kept.length === 0) return null;
    const feedback = kept.find((c) => c.feedback && readable(c.feedback));
    return {
      answers: distinct(kept.map((c) => readable(c.text))),
      comment: feedback ? readable(feedback.feedback) : readable(q.globalFeedback),
    };
  }
  if (q.type === 'Numerical') {
    const exact = (v) => v.type === 'simple' || (v.type === 'range' && v.range === 0);
    const choices = Array.isArray(q.choices) ? q.choices.filter(right) : [{ text: q.choices, feedback: null }];
    if (choices.length !== 1 || !exact(choices[0].text)) return null;
    return {
      number: choices[0].text.number,
      comment: choices[0].feedback ? readable(choices[0].feedback) : readable(q.globalFeedback),
    };
  }
  return null;
}

const failures = [];
const typesSeen = new Set();
let compared = 0;
const files = readdirSync(folder).filter((f) => f.endsWith('.gift')).sort();
for (const file of files) {
  const where = (what) => `${file}: ${what}`;
  const parsed = gift.parse(readFileSync(path.join(folder, file), 'utf8'));
  const ours = JSON.parse(execFileSync(program, [path.join(folder, file)]).toString('utf8'));
  if (ours.broken) {
    failures.push(where(`our reader refuses a file gift-pegjs reads: ${ours.broken} (line ${ours.line})`));
    continue;
  }
  const category = parsed.find((q) => q.type === 'Category');
  const lastPart = category ? category.title.split('/').filter((p) => p.trim()).pop() : '';
  const ourCategory = ['$course$', 'top'].includes(lastPart) ? '' : lastPart ?? '';
  if (collapse(ourCategory) !== ours.category) failures.push(where(`category ${ours.category} != ${ourCategory}`));
  const questions = parsed.filter((q) => q.type !== 'Category');
  let leftOut = 0;
  questions.forEach((q, i) => {
    typesSeen.add(q.type);
    const want = expected(q);
    const got = ours.questions.find((o) => o.number === i + 1);
    const name = `question ${i + 1} (${q.type} ${JSON.stringify(q.title)})`;
    if (!want) {
      leftOut += 1;
      if (got) failures.push(where(`${name}: kept by us, not a question Vetra asks for gift-pegjs`));
      return;
    }
    if (!got) return failures.push(where(`${name}: left out by us`));
    compared += 1;
    const check = (what, a, b) => {
      if (JSON.stringify(a) !== JSON.stringify(b)) failures.push(where(`${name}: ${what} ${JSON.stringify(a)} != ${JSON.stringify(b)}`));
    };
    check('prompt', got.prompt, readable(q.stem));
    if (q.title !== null) check('name', got.name, collapse(q.title));
    check('comment', got.comment, want.comment);
    if (want.answers) check('answers', got.answers, want.answers);
    else check('value', Number(got.answers[0]), want.number);
  });
  const ourLeftOut = Object.values(ours.leftOut).reduce((a, b) => a + b, 0);
  if (ourLeftOut !== leftOut) failures.push(where(`${ourLeftOut} questions left out, gift-pegjs gives ${leftOut}`));
}
// Broken banks: both refuse them, at the same line.
const brokenFolder = path.join(folder, 'broken');
const broken = readdirSync(brokenFolder).filter((f) => f.endsWith('.gift')).sort();
for (const file of broken) {
  let line = null;
  try {
    gift.parse(readFileSync(path.join(brokenFolder, file), 'utf8'));
  } catch (e) {
    line = e.location ? e.location.start.line : 0;
  }
  const ours = JSON.parse(execFileSync(program, [path.join(brokenFolder, file)]).toString('utf8'));
  if (line === null) failures.push(`broken/${file}: gift-pegjs reads it`);
  else if (!ours.broken) failures.push(`broken/${file}: our reader takes a file gift-pegjs refuses`);
  else if (ours.line !== line) failures.push(`broken/${file}: refused at line ${ours.line}, gift-pegjs at ${line}`);
}
if (broken.length < 4) failures.push('too few broken banks');
for (const type of ['Short', 'MC', 'TF', 'Matching', 'Essay', 'Description', 'Numerical']) {
  if (!typesSeen.has(type)) failures.push(`the corpus has no ${type} question`);
}
if (compared < 20) failures.push(`only ${compared} questions compared`);
if (failures.length) {
  console.error(failures.join('\n'));
  process.exit(1);
}
console.log(`${files.length} banks, ${compared} questions read alike by both parsers; ${broken.length} broken banks refused by both`);
