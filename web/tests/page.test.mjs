// The generated page played in Debian's Chromium as a learner would: boxes
// found by their accessible names, verdicts read from the element each box's
// aria-describedby names first. Screenshots go to WEB_ARTIFACTS.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { deflateSync } from 'node:zlib';

// zlib.crc32 only exists from Node 20.15 and 22.2; Debian 12 ships Node 18.
const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const artifacts = process.env.WEB_ARTIFACTS || mkdtempSync(path.join(tmpdir(), 'vetra-web-'));
mkdirSync(artifacts, { recursive: true });
// No connection may even be tried: the machine may have no network, and the
// page must need none.
const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const axeSource = readFileSync(path.join(root, 'web/node_modules/axe-core/axe.min.js'), 'utf8');

let browser;
const pages = {};

// A PNG of one colour; each picture of the long sheet has its own width, so
// that a picture shown can be told from the others.
function png(width, height, rgb) {
  const chunk = (type, data) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([Buffer.from(type), data])));
    return Buffer.concat([length, Buffer.from(type), data, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const row = Buffer.concat([Buffer.of(0), Buffer.from(Array(width).fill(rgb).flat())]);
  return Buffer.concat([Buffer.from('\x89PNG\r\n\x1a\n', 'latin1'), chunk('IHDR', header),
    chunk('IDAT', deflateSync(Buffer.concat(Array(height).fill(row)))), chunk('IEND', Buffer.alloc(0))]);
}

// Forty questions, far more than a screen shows; question n's picture is
// 40 + n pixels wide, its solution 200 + n.
const longCount = 40;
function writeLongSheet() {
  const folder = path.join(artifacts, 'long');
  mkdirSync(folder, { recursive: true });
  let source = 'kind = "pictures"\ntitle = "Longue feuille"\nreveal = "solution-picture"\nreward_codes = [' +
    Array.from({ length: longCount }, (_, i) => `"C${i + 1}"`).join(', ') + ']\n';
  for (let n = 1; n <= longCount; n++) {
    writeFileSync(path.join(folder, `${n}.png`), png(40 + n, 30, [n * 6, 255 - n * 6, 128]));
    writeFileSync(path.join(folder, `${n}-s.png`), png(200 + n, 150, [255, n * 6, 0]));
    source += `\n[[question]]\nanswer = "forme ${n}"\npicture = "${n}.png"\nsolution = "${n}-s.png"\n`;
  }
  writeFileSync(path.join(folder, 'long.toml'), source);
  return writePage(path.join(folder, 'long.toml'), 'long')[0];
}

function writePage(source, name) {
  const out = path.join(artifacts, `${name}.html`);
  return [out, execFileSync(process.env.WRITE_PAGE, [path.resolve(root, source), out]).toString()];
}

before(async () => {
  [pages.text] = writePage('examples/text/capitales.toml', 'capitales');
  [pages.pictures] = writePage('examples/pictures/formes.toml', 'formes');
  [pages.audio] = writePage('examples/audio/villes.toml', 'villes');
  [pages.video, pages.videoReport] = writePage('examples/video/couleurs.toml', 'couleurs');
  // A metafile picture, which the Windows player shows and no browser does.
  writeFileSync(path.join(artifacts, 'dessin.wmf'), Buffer.from('d7cdc69a000000000000', 'hex'));
  writeFileSync(path.join(artifacts, 'metafile.toml'), 'kind = "pictures"\ntitle = "Dessins"\n' +
    'reward_codes = ["A"]\n\n[[question]]\nanswer = "maison"\npicture = "dessin.wmf"\n');
  [pages.metafile, pages.metafileReport] = writePage(path.join(artifacts, 'metafile.toml'), 'metafile');
  writeFileSync(path.join(artifacts, 'lien.toml'), 'kind = "text"\ntitle = "Lien"\n' +
    'link = "https://www.ecole.example.fr/cm2/"\nreward_codes = ["A", "B", "C"]\n\n' +
    '[[question]]\nanswer = "oui"\n\n[[question]]\nanswer = "non"\n\n[[question]]\nanswer = "oui"\n');
  [pages.link] = writePage(path.join(artifacts, 'lien.toml'), 'lien');
  // The quiz of the Windows player's scenario with several accepted answers (tests/e2e/test_other_answers.py).
  writeFileSync(path.join(artifacts, 'dates.toml'), 'kind = "text"\ntitle = "Dates"\n' +
    'reward_codes = ["UN", "DEUX", "TROIS"]\n\n[[question]]\nprompt = "Prise de la Bastille"\n' +
    'answer = ["1789", "en 1789"]\n\n[[question]]\nprompt = "Sacre de Napoleon"\nanswer = "1804"\n\n' +
    '[[question]]\nprompt = "Capitale des Pays-Bas"\nanswer = ["Amsterdam", "Amsterdam aux Pays-Bas"]\n');
  [pages.dates] = writePage(path.join(artifacts, 'dates.toml'), 'dates');
  pages.long = writeLongSheet();
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

test('the quiz\'s own address; F1 offers an answer to every box not yet right', async () => {
  const { context, page, seen } = await open(pages.link);
  const link = page.getByRole('link', { name: 'ecole.example.fr/cm2' });
  assert.equal(await link.getAttribute('href'), 'https://www.ecole.example.fr/cm2/');
  await answer(page, 'Question 2', 'non');
  await box(page, 'Question 1').fill('oui');
  await box(page, 'Question 1').press('F1');
  assert.deepEqual(await Promise.all([1, 2, 3].map((n) => box(page, `Question ${n}`).inputValue())),
    ['oui', 'non', 'oui']);
  assert.deepEqual(await scoreAndCode(page), ['3 / 3', 'C']);
  // The page of a quiz without an address shows none.
  const plain = await open(pages.text);
  assert.equal(await plain.page.locator('#link').isVisible(), false);
  await plain.context.close();
  assert.deepEqual(seen.requests, []);
  assert.deepEqual(seen.errors, []);
  await context.close();
});

test('several accepted answers: the verdicts of the Windows player', async () => {
  const { context, page, seen, reload } = await open(pages.dates);
  const rows = [
    ['Question 1', 'en 1798', 'Anagramme', ['0 / 3', '']],
    ['Question 1', 'en 1789', 'BRAVO', ['1 / 3', 'UN']],
    ['Question 3', 'amsterdam aux pays', 'Trop long', ['1 / 3', 'UN']],
    ['Question 3', 'AMSTERDAM AUX PAYS-BAS', 'BRAVO', ['2 / 3', 'DEUX']],
    ['Question 2', 'en 1789', 'FAUX', ['2 / 3', 'DEUX']],
  ];
  for (const [name, typed, expected, score] of rows) {
    await answer(page, name, typed);
    assert.equal(await verdict(page, name), expected, `${name} "${typed}"`);
    assert.deepEqual(await scoreAndCode(page), score, `${name} "${typed}"`);
  }
  await reload();
  assert.deepEqual(await Promise.all([1, 2, 3].map((n) => verdict(page, `Question ${n}`))), ['BRAVO', 'FAUX', 'BRAVO']);
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

test('clips play and stop; what the browser cannot show is said, with the file to save', async () => {
  const { context, page, seen } = await open(pages.audio);
  const clip = page.locator('#clip-1');
  await page.getByRole('button', { name: 'Écouter la question 1' }).click();
  await page.waitForFunction(() => !document.getElementById('clip-1').paused);
  await page.getByRole('button', { name: 'Arrêter la question 1' }).click();
  assert.deepEqual(await clip.evaluate((c) => [c.paused, c.currentTime]), [true, 0]);
  // All comments at once when every box is right; a wrong box hides only its own.
  const comments = ['Sur la Seine.', 'Sur la Tamise.', 'Sur le Tibre.'].map((c) => page.getByText(c));
  const shown = async () => Promise.all(comments.map((c) => c.isVisible()));
  await answer(page, 'Question 1', 'Paris');
  await answer(page, 'Question 2', 'Londres');
  assert.deepEqual(await shown(), [false, false, false]);
  await answer(page, 'Question 3', 'Rome');
  assert.deepEqual(await shown(), [true, true, true]);
  await answer(page, 'Question 2', 'Lond');
  assert.deepEqual(await shown(), [true, false, true]);
  assert.deepEqual(await axeViolations(page), []);
  assert.deepEqual(seen.requests, []);
  await context.close();

  // Two answers a question, and AVI clips that no browser plays.
  assert.match(pages.videoReport, /not shown by browsers: media\/1\.avi/);
  const video = await open(pages.video);
  assert.match(await video.page.locator('#clip-1').textContent(), /Le navigateur ne peut pas lire ce clip \(1\.avi\)/);
  await answer(video.page, 'Question 1, réponse 1', 'rouge');
  assert.deepEqual(await scoreAndCode(video.page), ['0 / 2', '']);
  await answer(video.page, 'Question 1, réponse 2', 'droite');
  assert.equal(await verdict(video.page, 'Question 1, réponse 2'), 'BRAVO');
  assert.equal((await scoreAndCode(video.page))[0], '1 / 2');
  assert.deepEqual(await axeViolations(video.page), []);
  await video.context.close();

  assert.match(pages.metafileReport, /not shown by browsers: dessin\.wmf/);
  const metafile = await open(pages.metafile);
  assert.match(await metafile.page.locator('.missing-media').textContent(),
    /Le navigateur ne peut pas afficher cette image \(dessin\.wmf\)/);
  const link = metafile.page.getByRole('link', { name: 'Enregistrer le fichier' });
  assert.equal(await link.getAttribute('download'), 'dessin.wmf');
  await answer(metafile.page, 'Question 1', 'maison');
  assert.equal(await verdict(metafile.page, 'Question 1'), 'BRAVO');
  assert.deepEqual(await axeViolations(metafile.page), []);
  await metafile.context.close();
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

// Serves the platform page (scorm-again's SCORM 1.2 API) and the unpacked
// package on the loopback address, as a learning platform would.
async function servePlatform(course) {
  const scormAgain = readFileSync(path.join(root, 'web/node_modules/scorm-again/dist/scorm12.js'));
  const platformPage = `<!DOCTYPE html><html lang="fr"><head><meta charset="utf-8"><title>Plateforme</title>
<script src="/scorm12.js"></script><script>
window.API = new Scorm12API({ autocommit: false, logLevel: 5 });
if (window.seed) window.API.cmi.suspend_data = window.seed;
window.calls = { commit: 0, finish: 0 };
const commit = API.LMSCommit.bind(API), finish = API.LMSFinish.bind(API);
API.LMSCommit = (a) => { calls.commit++; return commit(a); };
API.LMSFinish = (a) => { calls.finish++; return finish(a); };
</script></head><body><iframe src="/course/capitales.html" title="Quiz"></iframe></body></html>`;
  const server = createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const body = url === '/lms.html' ? platformPage : url === '/scorm12.js' ? scormAgain
      : url === '/course/capitales.html' ? readFileSync(path.join(course, 'capitales.html')) : null;
    response.writeHead(body ? 200 : 404, { 'content-type': url.endsWith('.js') ? 'text/javascript' : 'text/html' });
    response.end(body || '');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, base: `http://127.0.0.1:${server.address().port}` };
}

test('SCORM 1.2: score, status and answers reach the platform; the next launch restores them', async () => {
  const zip = path.join(artifacts, 'capitales.zip');
  const course = path.join(artifacts, 'capitales-scorm');
  execFileSync(process.env.WRITE_PAGE, [path.join(root, 'examples/text/capitales.toml'), zip, '--scorm']);
  rmSync(course, { recursive: true, force: true });
  execFileSync('unzip', ['-q', zip, '-d', course]); // checks every entry's CRC as it goes
  assert.match(readFileSync(path.join(course, 'imsmanifest.xml'), 'utf8'),
    /<schemaversion>1\.2<\/schemaversion>[^]*adlcp:scormtype="sco" href="capitales.html"/);
  const { server, base } = await servePlatform(course);
  const context = await browser.newContext();
  try {
    const launch = async (seed) => {
      const page = await context.newPage();
      if (seed !== undefined) await page.addInitScript((s) => { window.seed = s; }, seed);
      await page.goto(`${base}/lms.html`);
      const quizFrame = page.frameLocator('iframe');
      await quizFrame.locator('body[data-ready="true"]').waitFor();
      return { page, quizFrame };
    };
    const cmi = (page) => page.evaluate(() => ({ raw: API.cmi.core.score.raw, min: API.cmi.core.score.min,
      max: API.cmi.core.score.max, status: API.cmi.core.lesson_status, suspend: API.cmi.suspend_data, ...calls }));

    const first = await launch();
    await answer(first.quizFrame, 'Question 1', 'Paris');
    await answer(first.quizFrame, 'Question 2', 'Rom');
    let state = await cmi(first.page);
    assert.deepEqual([state.raw, state.min, state.max, state.status], ['1', '0', '5', 'incomplete']);
    const commits = state.commit;
    assert.ok(commits >= 2, `commits: ${commits}`);
    await answer(first.quizFrame, 'Question 2', 'Rom'); // no verdict change, no commit
    assert.equal((await cmi(first.page)).commit, commits);
    for (const [name, text] of [['Question 2', 'Rome'], ['Question 3', 'Madrid'], ['Question 4', 'Vienne'],
      ['Question 5', 'Amsterdam']]) await answer(first.quizFrame, name, text);
    state = await cmi(first.page);
    assert.deepEqual([state.raw, state.status], ['5', 'completed']);
    await first.page.evaluate(() => document.querySelector('iframe').remove());
    state = await cmi(first.page);
    assert.equal(state.finish, 1);

    await first.page.close();
    await context.clearCookies();
    await context.addInitScript(() => localStorage.clear());
    const second = await launch(state.suspend);
    assert.equal(await box(second.quizFrame, 'Question 3').inputValue(), 'Madrid');
    assert.equal(await verdict(second.quizFrame, 'Question 5'), 'BRAVO');
    assert.equal((await cmi(second.page)).raw, '5');
    // Suspend data that is not the page's own is ignored: the page starts empty.
    const third = await launch('{"answers": 5}');
    assert.equal(await box(third.quizFrame, 'Question 3').inputValue(), '');
  } finally {
    await context.close();
    server.close();
  }
});

// Odd questions answered right, even ones wrong, kept as an earlier visit
// would have kept them.
async function restoreLongSheet() {
  const opened = await open(pages.long, { width: 1280, height: 600 });
  await answer(opened.page, 'Question 1', 'x'); // the page keeps its answers under its own key
  await opened.page.evaluate((count) => {
    const answers = Array.from({ length: count }, (_, i) => (i % 2 ? 'zzz' : `forme ${i + 1}`));
    for (let i = 0; i < localStorage.length; i++) localStorage.setItem(localStorage.key(i), JSON.stringify({ answers }));
  }, longCount);
  await opened.reload();
  return opened;
}

test('a long picture sheet: every box judged on restoring, solutions far below, every picture once scrolled to', async () => {
  const { context, page, seen } = await restoreLongSheet();
  for (let n = 1; n <= longCount; n++) {
    assert.equal(await verdict(page, `Question ${n}`), n % 2 ? 'BRAVO' : 'FAUX', `question ${n}`);
  }
  assert.deepEqual(await scoreAndCode(page), [`${longCount / 2} / ${longCount}`, `C${longCount / 2}`]);
  // Right answers far below the view have their solution pictures; a question
  // answered there now gets its own.
  assert.equal(await page.getByRole('img', { name: `Solution de la question ${longCount - 1}` }).count(), 1);
  await page.evaluate((n) => {
    const last = document.querySelector(`[aria-label="Question ${n}"].answer`);
    last.value = `forme ${n}`;
    last.dispatchEvent(new KeyboardEvent('keyup', { key: 'Enter' }));
  }, longCount);
  assert.equal(await page.evaluate(() => window.scrollY), 0);
  assert.equal(await page.getByRole('img', { name: `Solution de la question ${longCount}` }).count(), 1);
  assert.equal((await scoreAndCode(page))[0], `${longCount / 2 + 1} / ${longCount}`);

  // Only what comes near the view is decoded: a picture far below waits,
  // in a box of its own proportions.
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  assert.equal(await page.locator(`#picture-${longCount - 2}`).evaluate((img) => img.currentSrc), '');
  const sheetHeight = () => page.evaluate(() => document.getElementById('sheet').offsetHeight);
  const height = await sheetHeight();
  for (let n = 1; n <= longCount; n++) {
    const picture = page.locator(`#picture-${n}`);
    await picture.scrollIntoViewIfNeeded();
    const expected = n % 2 || n === longCount ? 200 + n : 40 + n;
    await page.waitForFunction(([id, width]) => {
      const img = document.getElementById(id);
      return img.complete && img.naturalWidth === width;
    }, [`picture-${n}`, expected], { timeout: 5000 });
  }
  assert.equal(await sheetHeight(), height, 'the sheet keeps its layout as its pictures arrive');
  assert.deepEqual(await axeViolations(page), []);
  assert.deepEqual(seen.requests, []);
  assert.deepEqual(seen.errors, []);
  await context.close();
});

test('a long picture sheet printed at once shows every picture; a page missing a picture still plays', async () => {
  // Printed at once, the sheet has as many pictures as printed once every
  // picture has been scrolled to.
  const { context, page, seen } = await open(pages.long, { width: 1280, height: 600 });
  const printedPictures = async () => ((await page.pdf()).toString('latin1').match(/\/Subtype\s*\/Image/g) || []).length;
  const atOnce = await printedPictures();
  for (let n = 1; n <= longCount; n++) await page.locator(`#picture-${n}`).scrollIntoViewIfNeeded();
  await page.waitForFunction(() => [...document.images].every((img) => img.complete && img.naturalWidth > 0));
  assert.ok(atOnce > longCount / 2, `${atOnce} pictures printed`);
  assert.equal(atOnce, await printedPictures());
  assert.deepEqual(seen.requests, []);
  await context.close();

  const broken = path.join(artifacts, 'long-broken.html');
  writeFileSync(broken, readFileSync(pages.long, 'utf8')
    .replace(/<script type="text\/plain" id="media-3">[^<]*<\/script>/, '')
    .replace(/(<script type="text\/plain" id="media-5">data:image\/png;base64,)[^<]{0,40}/, '$1////'));
  const other = await open(broken);
  await answer(other.page, 'Question 2', 'forme 2');
  await answer(other.page, 'Question 3', 'forme 3');
  assert.equal(await verdict(other.page, 'Question 3'), 'BRAVO');
  assert.equal((await scoreAndCode(other.page))[0], '2 / 40');
  assert.deepEqual(other.seen.errors, []);
  await other.context.close();
});
