// The GIFT banks quizpack moodle writes, read back by an independent parser
// (gift-pegjs, which follows Moodle's own reader): every bank of the
// examples and of the awkward quizzes writeBank makes must parse, and give
// back its category and, box by box, the same short-answer questions with
// the same name, text, accepted answers and feedback as the model they came
// from. Texts are HTML in the bank: they are decoded here as Moodle shows them.
// Usage: node moodleBank.mjs WRITE-BANK-PROGRAM
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const require = createRequire(import.meta.url);
const gift = require('gift-pegjs');

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const examples = ['text/capitales', 'pictures/formes', 'audio/villes', 'video/couleurs'].map(
  (name) => path.join(root, 'examples', `${name}.toml`));
const folder = mkdtempSync(path.join(os.tmpdir(), 'vetra-bank-'));

// The plain text of an HTML text as the bank writes one: entities and line breaks.
const plain = (html) => html.replace(/<br>/g, '\n').replace(/&lt;/g, '<').replace(/&gt;/g, '>')
  .replace(/&quot;/g, '"').replace(/&amp;/g, '&');
// An answer as Moodle's short answer matches it: "\*" is a literal "*".
const literal = (answer) => answer.replace(/\\\*/g, '*');
const categoryPath = (title) => `$course$/top/${title.replace(/[\n\r\t]/g, ' ').replace(/\//g, '//')}`;

let banks = 0;
let questions = 0;
let leftOut = 0;
try {
  execFileSync(process.argv[2], [folder, ...examples], { stdio: ['ignore', 'inherit', 'inherit'] });
  for (const file of readdirSync(folder).filter((name) => name.endsWith('.json')).sort()) {
    const name = file.slice(0, -'.json'.length);
    const expected = JSON.parse(readFileSync(path.join(folder, file), 'utf8'));
    let parsed;
    try {
      parsed = gift.parse(readFileSync(path.join(folder, `${name}.gift`), 'utf8'));
    } catch (error) {
      throw new Error(`${name}.gift does not parse: ${error.message}`);
    }
    assert.deepEqual(parsed[0], { type: 'Category', title: categoryPath(expected.category) }, `${name}: category`);
    const found = parsed.slice(1);
    // GIFT cannot hold "->" in a short answer: such a question stays out.
    const wanted = expected.questions.filter((q) => !q.answers.some((a) => a.includes('->')));
    leftOut += expected.questions.length - wanted.length;
    assert.equal(found.length, wanted.length, `${name}: one question per box`);
    wanted.forEach((want, i) => {
      const q = found[i];
      const at = `${name}, question ${i + 1} (${want.name})`;
      assert.equal(q.type, 'Short', `${at}: a short answer`);
      assert.equal(q.title, want.name, `${at}: name`);
      assert.equal(q.stem.format, 'html', `${at}: format`);
      assert.equal(plain(q.stem.text), want.text, `${at}: text`);
      assert.equal(q.hasEmbeddedAnswers, false, `${at}: the answers after the text`);
      assert.ok(q.choices.every((c) => c.isCorrect && (c.weight === null || c.weight === 100) && c.feedback === null),
        `${at}: every answer right, at full marks, without feedback of its own`);
      assert.deepEqual(q.choices.map((c) => literal(c.text.text)), want.answers, `${at}: answers`);
      if (want.feedback === '') assert.equal(q.globalFeedback, null, `${at}: no feedback`);
      else assert.equal(plain(q.globalFeedback.text), want.feedback, `${at}: feedback`);
      ++questions;
    });
    ++banks;
  }
  // The examples and the two awkward quizzes.
  assert.equal(banks, examples.length + 2, 'every bank was written');
  assert.equal(leftOut, 1, 'the awkward question with "->" was made');
} finally {
  rmSync(folder, { recursive: true, force: true });
}
console.log(`${banks} GIFT banks, ${questions} questions read back by gift-pegjs as written`);
