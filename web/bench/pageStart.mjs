// How fast a generated page starts and judges in headless Chromium: the time
// from navigation to the first box ready (the page's "vetra-ready" mark) for
// picture quizzes of 30 and 96 questions, and the time of one verdict (an
// Enter in a box: judge, label, score, saved answers). The pictures are those
// of the Windows player's start-up benchmark (640 x 480, photo-like, odd
// questions JPEG, even questions PNG; made once into build/web-bench/ with
// the recipe of bench/startup/make-quiz.sh). A benchmark, not a test: it
// prints medians and asserts nothing.
//   node web/bench/pageStart.mjs build/host/writePage [RUNS]
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, statSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const [writePage, runsText] = process.argv.slice(2);
const runs = Number(runsText || 7);
const work = path.join(root, 'build/web-bench');
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

function pictureQuiz(count) {
  let source = `kind = "pictures"\ntitle = "Banc d'essai"\nreward_codes = [${Array.from({ length: count },
    (_, i) => `"C${i + 1}"`).join(', ')}]\n`;
  for (let n = 1; n <= count; n++) source += `\n[[question]]\nanswer = "forme ${n}"\npicture = "${picture(n)}"\n`;
  const toml = path.join(work, `q${count}.toml`);
  const page = path.join(work, `q${count}.html`);
  writeFileSync(toml, source);
  execFileSync(writePage, [toml, page]);
  return page;
}

const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'] });
try {
  for (const count of [30, 96]) {
    const page = pictureQuiz(count);
    const starts = [];
    let verdictTimes = [];
    for (let run = 0; run < runs; run++) {
      const context = await browser.newContext();
      const tab = await context.newPage();
      await tab.goto(pathToFileURL(page).href);
      await tab.waitForSelector('body[data-ready="true"]');
      starts.push(await tab.evaluate(() => performance.getEntriesByName('vetra-ready')[0].startTime));
      verdictTimes.push(await tab.evaluate(() => {
        const box = document.getElementById('box-1');
        const times = [];
        for (let i = 0; i < 200; i++) {
          box.value = i % 2 ? 'forme 1' : 'forme';
          const t = performance.now();
          box.dispatchEvent(new KeyboardEvent('keyup', { key: 'Enter' }));
          times.push(performance.now() - t);
        }
        return times.reduce((a, b) => a + b) / times.length;
      }));
      await context.close();
    }
    console.log(`${count} pictures, page ${(statSync(page).size / 1024).toFixed(0)} KB: first box ready ` +
      `${median(starts).toFixed(0)} ms (median of ${runs}), one verdict ${median(verdictTimes).toFixed(3)} ms`);
  }
} finally {
  await browser.close();
}
