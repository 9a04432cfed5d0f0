// The generated page played in Debian's Chromium as a learner would: boxes
// found by their accessible names, verdicts read from the element each box's
// aria-describedby names first. Screenshots go to WEB_ARTIFACTS.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const root = path.resolve(import.meta.dirname, '../..');
const artifacts = process.env.WEB_ARTIFACTS || mkdtempSync(path.join(tmpdir(), 'vetra-web-'));
mkdirSync(artifacts, { recursive: true });
// No connection may even be tried: the machine may have no network, and the
// page must need none.
const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const axeSource = readFileSync(path.join(root, 'web/node_modules/axe-core/axe.min.js'), 'utf8');

let browser;
const pages = {};

function writePage(source, name) {
  const out = path.join(artifacts, `${name}.html`);
  execFileSync(process.env.WRITE_PAGE, [path.join(root, source), out]);
  return out;
}

before(async () => {
  pages.text = writePage('examples/text/capitales.toml', 'capitales');
  pages.pictures = writePage('examples/pictures/formes.toml', 'formes');
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: chromiumFlags, headless: true });
});

after(async () => {
  if (browser) await browser.close();
});

// Opens a page in a fresh profile; records every request and every error.
async function open(file, viewport = { width: 1280, height: 900 }) {
  const context = await browser.newContext({ viewport, acceptDownloads: true });
  const page = await context.newPage();
  const seen = { requests: [], errors: [] };
  const own = pathToFileURL(file).href;
  page.on('request', (r) => { if (r.url() !== own && !r.url().startsWith('data:')) seen.requests.push(r.url()); });
  page.on('pageerror', (e) => seen.errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') seen.errors.push(m.text()); });
  await page.goto(own);
  await page.waitForSelector('body[data-ready="true"]');
  return { context, page, seen, reload: async () => {
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
  } };
}

const box = (page, name) => page.getByRole('textbox', { name, exact: true });

async function verdict(page, name) {
  const ids = await box(page, name).getAttribute('aria-describedby');
  return page.locator(`[id="${ids.split(' ')[0]}"]`).textContent();
}

async function answer(page, name, text) {
  await box(page, name).fill(text);
  await box(page, name).press('Enter');
}

async function scoreAndCode(page) {
  return [await page.locator('#score').textContent(), await page.locator('#code').inputValue()];
}

async function axeViolations(page) {
  await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

test('text quiz: verdicts, score, code, reload', async () => {
  const { context, page, seen, reload } = await open(pages.text);
  assert.deepEqual(await scoreAndCode(page), ['0 / 5', '']);
  const rows = [
    ['Question 1', ' paris ', 'BRAVO'],
    ['Question 2', 'Rmoe', 'Anagramme'],
    ['Question 3', 'Madri', 'Quasiment'],
    ['Question 4', 'Vie', 'FAUX'],
    ['Question 5', 'Amsterdam aux Pays-Bas', 'Trop long'],
  ];
  for (const [name, typed, expected] of rows) {
    await answer(page, name, typed);
    assert.equal(await verdict(page, name), expected, `${name} "${typed}"`);
    assert.equal(await box(page, name).getAttribute('aria-invalid'), expected === 'BRAVO' ? null : 'true', name);
  }
  assert.deepEqual(await scoreAndCode(page), ['1 / 5', 'ROUGE']);
  // Typing alone judges nothing; leaving the box does.
  await box(page, 'Question 2').fill('rome');
  assert.equal(await verdict(page, 'Question 2'), 'Anagramme');
  await box(page, 'Question 3').focus();
  assert.equal(await verdict(page, 'Question 2'), 'BRAVO');
  assert.deepEqual(await scoreAndCode(page), ['2 / 5', 'ORANGE']);
  assert.match(await page.locator('#announce').textContent(), /Question 2 : BRAVO/);

  await reload();
  assert.equal(await box(page, 'Question 5').inputValue(), 'Amsterdam aux Pays-Bas');
  for (const [name, expected] of [['Question 1', 'BRAVO'], ['Question 2', 'BRAVO'], ['Question 3', 'Quasiment']]) {
    assert.equal(await verdict(page, name), expected, `after reload: ${name}`);
  }
  assert.deepEqual(await scoreAndCode(page), ['2 / 5', 'ORANGE']);
  assert.deepEqual(await axeViolations(page), []);
  await page.screenshot({ path: path.join(artifacts, 'capitales-desktop.png'), fullPage: true });
  assert.deepEqual(seen.requests, []);
  assert.deepEqual(seen.errors, []);
  await context.close();
});

test('picture quiz: reveal of comments and solutions, keyboard order, phone width', async () => {
  const { context, page, seen } = await open(pages.pictures, { width: 360, height: 740 });
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 360, 'no horizontal scrolling');
  const comment = page.getByText('Aucun coin.');
  assert.equal(await comment.isVisible(), false);
  await answer(page, 'Question 1', 'Cercle');
  assert.equal(await verdict(page, 'Question 1'), 'BRAVO');
  assert.equal(await comment.isVisible(), true);
  assert.equal(await page.getByRole('img', { name: 'Solution de la question 1' }).count(), 1);
  // A wrong answer hides the comment again; the solution picture stays.
  await answer(page, 'Question 1', 'rond');
  assert.equal(await verdict(page, 'Question 1'), 'FAUX');
  assert.equal(await comment.isVisible(), false);
  assert.equal(await page.getByRole('img', { name: 'Solution de la question 1' }).count(), 1);
  // "é" reaches the judge as one Windows-1252 byte.
  await answer(page, 'Question 3', 'CARRÉ');
  assert.equal(await verdict(page, 'Question 3'), 'Quasiment');
  await answer(page, 'Question 3', 'carré');
  assert.equal(await verdict(page, 'Question 3'), 'BRAVO');
  await answer(page, 'Question 2', 'triangel');
  assert.equal(await verdict(page, 'Question 2'), 'Anagramme');
  await answer(page, 'Question 1', 'cercle');
  await answer(page, 'Question 2', 'triangle');
  assert.deepEqual(await scoreAndCode(page), ['3 / 3', 'CARRE-3']);
  // Tab goes through the boxes in question order.
  await box(page, 'Question 1').focus();
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), 'Question 2');
  assert.deepEqual(await axeViolations(page), []);
  await page.screenshot({ path: path.join(artifacts, 'formes-360.png'), fullPage: true });
  assert.deepEqual(seen.requests, []);
  assert.deepEqual(seen.errors, []);
  await context.close();
});

test('progress file: Sauver writes the player\'s format, Reprendre takes it and refuses others', async () => {
  const { context, page } = await open(pages.text);
  await answer(page, 'Question 1', 'Paris');
  await answer(page, 'Question 4', 'Vienne à l’est');
  const [download] = await Promise.all([page.waitForEvent('download'), page.getByRole('button', { name: 'Sauver' }).click()]);
  assert.equal(download.suggestedFilename(), 'capitales.txt');
  const saved = readFileSync(await download.path());
  // "à" is one byte, the typographic apostrophe is 0x92 in Windows-1252.
  assert.deepEqual(saved, Buffer.from('Paris\r\n\r\n\r\nVienne \xe0 l\x92est\r\n\r\n', 'latin1'));

  page.on('dialog', (d) => d.accept());
  const resume = page.locator('#resume-file');
  const notProgress = [
    ['nul.txt', Buffer.from('Paris\r\n\0\r\n')],
    ['lines.txt', Buffer.from('a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n')],
    ['long.txt', Buffer.from('x'.repeat(260))],
  ];
  for (const [name, bytes] of notProgress) {
    await resume.setInputFiles({ name, mimeType: 'text/plain', buffer: bytes });
    await page.waitForFunction((n) => document.getElementById('announce').textContent.includes(n), name);
    assert.equal(await box(page, 'Question 1').inputValue(), 'Paris', name);
  }
  // The player's own lines: a lone LF is no line end, CR then junk then LF is one.
  const written = Buffer.from('pari\r\nRome\rjunk\n\r\nVi\xe9nne\r\n', 'latin1');
  await resume.setInputFiles({ name: 'capitales.txt', mimeType: 'text/plain', buffer: written });
  await page.waitForFunction(() => document.getElementById('announce').textContent.includes('reprises'));
  const expected = [['Question 1', 'pari', 'Quasiment'], ['Question 2', 'Rome', 'BRAVO'], ['Question 3', '', '?'],
    ['Question 4', 'Viénne', 'Quasiment'], ['Question 5', '', '?']];
  for (const [name, text, judged] of expected) {
    assert.equal(await box(page, name).inputValue(), text, name);
    assert.equal(await verdict(page, name), judged, name);
  }
  await context.close();
});

test('stored answers that are not this page\'s are ignored', async () => {
  const { context, page, seen, reload } = await open(pages.text);
  await answer(page, 'Question 1', 'Paris');
  for (const stored of ['{broken', '{"answers": "Paris"}', '{"answers": [1, 2]}', '[]', 'null',
    JSON.stringify({ answers: Array(9).fill('Paris') })]) {
    await page.evaluate((value) => {
      for (let i = 0; i < localStorage.length; i++) localStorage.setItem(localStorage.key(i), value);
    }, stored);
    await reload();
    assert.equal(await box(page, 'Question 1').inputValue(), '', stored);
    assert.equal(await verdict(page, 'Question 1'), '?', stored);
  }
  assert.deepEqual(seen.errors, []);
  await context.close();
});
