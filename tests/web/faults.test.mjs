// Faults the page once had, each played where it showed: the end of a fast replay in the
// build whose every memory access is checked, and thousands of keys in the address.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { ROOT, serve, launch, openGame, consoleText, exitStatus } from './harness.mjs';

const CHECKED = process.env.GS_WEB_CHECKED_DIR || path.join(ROOT, 'build', 'web-checked');

let srv, checked, browser;
before(async () => {
  srv = await serve();
  checked = await serve(CHECKED);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  srv?.stop();
  checked?.stop();
});

test('a fast replay ends with the game, its picture and console let go in order', async () => {
  for (const site of [srv, checked]) {
    const page = await openGame(browser, site.url, '?fast=1&replay=campaign.demo');
    assert.equal(await exitStatus(page), 0);
    assert.deepEqual(page.errors, []);
    assert.match(await page.textContent('#status'), /The game has ended/);
    const want = fs.readFileSync(path.join(ROOT, 'tests', 'demos', 'campaign.out'), 'latin1');
    assert.equal(await consoleText(page), want);
    await page.close();
  }
});

test('thousands of keys in the address leave the browser its turns', async () => {
  // 16,000 answers the main menu refuses (a 64 KB address), then Quit: the game draws
  // nothing between them. Once they froze the page for seconds on end.
  const keys = 'x%0A'.repeat(16000) + '3%0A';
  const page = await openGame(browser, srv.url, '?fast=1&keys=' + keys);
  // A timer runs only while the program and the page's own script leave the page its turn:
  // the longest wait between two of them is the longest the page was frozen.
  await page.evaluate(() => {
    window.longestMs = 0;
    let last = performance.now();
    const tick = () => {
      const now = performance.now();
      window.longestMs = Math.max(window.longestMs, now - last);
      last = now;
      if (document.body.dataset.exit === undefined) setTimeout(tick, 0);
    };
    setTimeout(tick, 0);
  });
  assert.equal(await exitStatus(page), 0);
  const longest = await page.evaluate(() => window.longestMs);
  // The page takes its turn every 50 ms of work; a whole second is a frozen page.
  assert.ok(longest < 1000, `the page was frozen for ${Math.round(longest)} ms`);
  assert.deepEqual(page.errors, []);
  await page.close();
});
