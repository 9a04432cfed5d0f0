// One learner's visit to the page, for the end-to-end test that carries a
// progress file between the Windows player and the page: "Reprendre…" takes
// IN, the boxes of TYPED get their answers, and "Sauver" writes OUT. Prints
// the verdicts after taking IN, then after typing, as JSON.
//   node progressRoundTrip.mjs PAGE.html IN.txt OUT.txt '{"3": "Québec"}'
import { writeFileSync, copyFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [pagePath, inPath, outPath, typedJson] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
try {
  const context = await browser.newContext({ acceptDownloads: true });
  const page = await context.newPage();
  await page.goto(pathToFileURL(pagePath).href);
  await page.waitForSelector('body[data-ready="true"]');
  const verdicts = () => page.locator('.verdict').allTextContents();
  await page.locator('#resume-file').setInputFiles(inPath);
  await page.waitForFunction(() => document.querySelector('#box-1').value !== '');
  const taken = await verdicts();
  for (const [k, text] of Object.entries(JSON.parse(typedJson))) {
    await page.locator(`#box-${k}`).fill(text);
    await page.locator(`#box-${k}`).press('Enter');
  }
  const typed = await verdicts();
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#save').click()]);
  copyFileSync(await download.path(), outPath);
  writeFileSync(1, JSON.stringify({ taken, typed }) + '\n');
} finally {
  await browser.close();
}
