// How fast a generated page becomes usable in headless Chromium, measured
// from outside the page: a watcher installed before any page script sees
//   - "first row usable": the pictures of the sheet's first row painted (the
//     browser's own paint times, Element Timing), the first box in place and
//     editable, and the saved answers restored and judged (every box's label
//     judged and the score counted; the benchmark saves an answer in every
//     box before the page opens, odd questions right, even ones wrong);
//   - "every picture shown": the benchmark then scrolls down a screen at a
//     time, as soon as the pictures in view have been painted, to the
//     bottom, until every picture has been painted;
//   - the JavaScript heap (used, sampled every frame and every change) at the
//     first row and at its peak until every picture is shown, and the
//     renderer process's resident memory at the first row and at its peak
//     (VmRSS, VmHWM);
// then times one verdict (an Enter in a box: judge, label, score, saved
// answers). Picture quizzes of 3, 30 and 96 questions, with the pictures of
// the Windows player's start-up benchmark (640 x 480, photo-like, odd
// questions JPEG, even questions PNG; made once into build/web-bench/ with
// the recipe of bench/startup/make-quiz.sh). Given a second writePage (one
// built from another commit), it measures both in the same run, alternating.
// A benchmark, not a test: it prints medians and asserts nothing.
//   node web/bench/pageStart.mjs build/host/writePage [RUNS] [OTHER_WRITEPAGE]
//   BENCH_COUNTS=3,96 node web/bench/pageStart.mjs ...   (other quiz sizes; the first is the base of the ratios)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const [writePage, runsText, otherWritePage] = process.argv.slice(2);
const runs = Number(runsText || 7);
const work = path.join(root, 'build/web-bench');
const counts = (process.env.BENCH_COUNTS || "3,30,96").split(",").map(Number);
mkdirSync(path.join(work, 'media'), { recursive: true });

function picture(n) {
  const name = path.join(work, 'media', String(n).padStart(2, '0'));
  const wanted = n % 2 ? `${name}.jpg` : `${name}.png`;
  if (!existsSync(wanted)) {
    execFileSync('convert', ['-size', '640x480', '-seed', String(n), 'plasma:fractal', '-blur', '0x1.5', '-seed',
      String(n), '-attenuate', '0.2', '+noise', 'Gaussian', '-depth', '8', '-strip', `PNG24:${name}.png`]);
    if (n % 2) execFileSync('convert', [`${name}.png`, '-strip', '-quality', '85', '-sampling-factor', '2x2', wanted]);
  }
  return path.relative(work, wanted);
}

function pictureQuiz(writer, label, count) {
  let source = `kind = "pictures"\ntitle = "Banc d'essai"\nreward_codes = [${Array.from({ length: count },
    (_, i) => `"C${i + 1}"`).join(', ')}]\n`;
  for (let n = 1; n <= count; n++) source += `\n[[question]]\nanswer = "forme ${n}"\npicture = "${picture(n)}"\n`;
  const toml = path.join(work, `q${count}.toml`);
  const page = path.join(work, `q${count}${label}.html`);
  writeFileSync(toml, source);
  execFileSync(writer, [toml, page]);
  const id = /\{"id":"([0-9a-f]{16})"/.exec(readFileSync(page, 'latin1'))[1];
  const answers = Array.from({ length: count }, (_, i) => (i % 2 ? 'zzz' : `forme ${i + 1}`));
  return { page, count, storageKey: `vetra:${id}`, kept: JSON.stringify({ answers }) };
}

// Runs in the page before its own script.
function watcher({ storageKey, kept, count }) {
  localStorage.setItem(storageKey, kept);
  const bench = { painted: {}, judgedAt: null, firstRow: null, heapPeak: 0, heapAtFirstRow: 0 };
  window.bench = bench;
  const sampleHeap = () => { bench.heapPeak = Math.max(bench.heapPeak, performance.memory.usedJSHeapSize); };
  const firstRowPictures = () => {
    const cells = [...document.querySelectorAll('.cell')];
    if (!cells.length) return null;
    const top = cells[0].getBoundingClientRect().top;
    return cells.filter((c) => c.getBoundingClientRect().top === top).map((c) => c.querySelector('img'));
  };
  const check = () => {
    sampleHeap();
    if (bench.judgedAt === null) {
      const box = document.getElementById('box-1');
      const labels = document.querySelectorAll('.verdict');
      const score = document.getElementById('score');
      if (box && !box.disabled && !box.readOnly && labels.length === count &&
        [...labels].every((l) => l.textContent !== '?') && score.textContent === `${Math.ceil(count / 2)} / ${count}`) {
        bench.judgedAt = performance.now();
      }
    }
    if (bench.judgedAt !== null && bench.firstRow === null) {
      const row = firstRowPictures();
      if (row && row.every((img) => img && bench.painted[img.id])) {
        bench.firstRow = Math.max(bench.judgedAt, ...row.map((img) => bench.painted[img.id]));
        bench.heapAtFirstRow = bench.heapPeak;
      }
    }
  };
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) if (e.renderTime > 0) bench.painted[e.identifier] = e.renderTime;
    check();
  }).observe({ type: 'element', buffered: true });
  new MutationObserver((records) => {
    for (const r of records) {
      for (const n of r.addedNodes) {
        if (n.nodeType !== 1) continue;
        for (const img of n.tagName === 'IMG' ? [n] : n.querySelectorAll('img')) img.setAttribute('elementtiming', img.id);
      }
    }
    check();
  }).observe(document, { childList: true, subtree: true, characterData: true });
  const everyFrame = () => {
    sampleHeap();
    requestAnimationFrame(everyFrame);
  };
  requestAnimationFrame(everyFrame);
}

// The renderers' largest resident memory now and largest peak so far, in KB.
async function rendererKB(cdp) {
  const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
  let rss = 0;
  let peak = 0;
  for (const p of processInfo.filter((q) => q.type === 'renderer')) {
    try {
      const status = readFileSync(`/proc/${p.id}/status`, 'utf8');
      rss = Math.max(rss, Number(/VmRSS:\s+(\d+)/.exec(status)[1]));
      peak = Math.max(peak, Number(/VmHWM:\s+(\d+)/.exec(status)[1]));
    } catch (e) {
      // a spare renderer that ended meanwhile
    }
  }
  return [rss, peak];
}

async function measure(browser, cdp, quiz) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const tab = await context.newPage();
  await tab.addInitScript(watcher, quiz);
  await tab.goto(pathToFileURL(quiz.page).href, { waitUntil: 'commit' });
  await tab.waitForFunction(() => window.bench && window.bench.firstRow !== null, null, { polling: 50 });
  const [firstRowRssKB] = await rendererKB(cdp);
  const { firstRow, heapAtFirstRow } = await tab.evaluate(() => window.bench);
  // A screen down as soon as every picture in view has been painted.
  await tab.evaluate(async () => {
    const frame = () => new Promise((resolve) => requestAnimationFrame(resolve));
    const inViewPainted = () => [...document.querySelectorAll('.cell img')].every((img) => {
      const box = img.getBoundingClientRect();
      return box.bottom <= 0 || box.top >= innerHeight || window.bench.painted[img.id];
    });
    for (;;) {
      while (!inViewPainted()) await frame();
      if (window.scrollY + innerHeight >= document.documentElement.scrollHeight - 1) break;
      window.scrollBy(0, innerHeight);
      await frame();
    }
  });
  await tab.waitForFunction((count) => Object.keys(window.bench.painted).length >= count, quiz.count, { polling: 50 });
  const { everyShown, heapPeak } = await tab.evaluate(() => ({
    everyShown: Math.max(...Object.values(window.bench.painted)), heapPeak: window.bench.heapPeak }));
  const verdict = await tab.evaluate(() => {
    const box = document.getElementById('box-1');
    const times = [];
    for (let i = 0; i < 200; i++) {
      box.value = i % 2 ? 'forme 1' : 'forme';
      const t = performance.now();
      box.dispatchEvent(new KeyboardEvent('keyup', { key: 'Enter' }));
      times.push(performance.now() - t);
    }
    return times.reduce((a, b) => a + b) / times.length;
  });
  const [, rendererPeakKB] = await rendererKB(cdp);
  await context.close();
  return { firstRow, everyShown, heapAtFirstRow, heapPeak, firstRowRssKB, rendererPeakKB, verdict };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const writers = [['', writePage], ...(otherWritePage ? [['-other', otherWritePage]] : [])];
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--enable-precise-memory-info'] });
try {
  const cdp = await browser.newBrowserCDPSession();
  const quizzes = writers.map(([label, writer]) => counts.map((count) => pictureQuiz(writer, label, count)));
  const results = quizzes.map((list) => list.map(() => []));
  for (let run = 0; run < runs; run++) {
    for (let w = 0; w < writers.length; w++) {
      for (let c = 0; c < counts.length; c++) results[w][c].push(await measure(browser, cdp, quizzes[w][c]));
    }
  }
  writers.forEach(([label, writer], w) => {
    console.log(`${writer} (median of ${runs} runs):`);
    const base = median(results[w][0].map((r) => r.firstRow));
    counts.forEach((count, c) => {
      const of = (key) => median(results[w][c].map((r) => r[key]));
      console.log(`  ${count} pictures, page ${(statSync(quizzes[w][c].page).size / 1024).toFixed(0)} KB: ` +
        `first row usable ${of('firstRow').toFixed(0)} ms (${(of('firstRow') / base).toFixed(2)}x the 3-picture page), ` +
        `every picture shown ${of('everyShown').toFixed(0)} ms; JS heap at the first row ` +
        `${(of('heapAtFirstRow') / 1048576).toFixed(1)} MB, peak ${(of('heapPeak') / 1048576).toFixed(1)} MB; renderer ` +
        `resident at the first row ${(of('firstRowRssKB') / 1024).toFixed(0)} MB, peak ` +
        `${(of('rendererPeakKB') / 1024).toFixed(0)} MB; one verdict ${of('verdict').toFixed(3)} ms`);
    });
  });
} finally {
  await browser.close();
}
