// The web page's figures, measured in Debian's headless Chromium and printed (never
// asserted): load to the first menu (on a desktop, and on a phone-class CPU, fresh and
// from the service worker's cache), the program's and the whole site's size, a real-time
// turn's wall time against the pauses the game asked for, and the CPU the page uses while
// it waits for a key.   node bench/web/figures.mjs [SITE_DIR]     (make web-bench)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { SITE, serve, launch, openGame, waitText, waitIdle, cpuMeter } from '../../tests/web/harness.mjs';

const site = process.argv[2] || SITE;
const srv = await serve(site);
const browser = await launch();
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

try {
  for (const file of ['gorvenshale.wasm', 'gorvenshale.js']) {
    const bytes = fs.readFileSync(path.join(site, file));
    const gz = zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${file}: ${(bytes.length / 1024).toFixed(1)} KiB, ${(gz / 1024).toFixed(1)} KiB gzip -9`);
  }

  // The whole site as a server compressing it would send it.
  const files = fs.readdirSync(site, { recursive: true }).map((f) => path.join(site, f))
    .filter((f) => fs.statSync(f).isFile());
  const gz = files.reduce((sum, f) => sum + zlib.gzipSync(fs.readFileSync(f), { level: 9 }).length, 0);
  console.log(`the whole site: ${files.length} files, ${(gz / 1024).toFixed(1)} KiB gzip -9`);

  // Load to the first menu on a phone (390 x 844, touch, 3 device pixels to the CSS
  // pixel) with the CPU slowed 4 times: a first visit, then a visit the service worker
  // answers from its cache.
  const phoneLoad = async (context) => {
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await page.goto(srv.url + 'index.html');
    await waitText(page, 'Select menu point');
    const ms = await page.evaluate(() => window.gsFirstTextMs);
    return { page, ms };
  };
  const fresh = [], kept = [];
  for (let i = 0; i < 5; ++i) {
    const context = await browser.newContext({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3,
      hasTouch: true, isMobile: true });
    const first = await phoneLoad(context);
    fresh.push(first.ms);
    await first.page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 20));
    });
    await first.page.close();
    const again = await phoneLoad(context);
    if (!(await again.page.evaluate(() => navigator.serviceWorker.controller !== null)))
      throw new Error('the repeat visit was not served by the service worker');
    kept.push(again.ms);
    await context.close();
  }
  const list = (xs) => `median ${median(xs).toFixed(0)} ms (of ${xs.map((x) => x.toFixed(0)).join(', ')})`;
  console.log(`phone, CPU 4x slower, load to the first menu: first visit ${list(fresh)}`);
  console.log(`phone, CPU 4x slower, load to the first menu: repeat visit from the cache ${list(kept)}`);

  // Load to the first menu: from the start of navigation to the menu's text on the page.
  const loads = [];
  for (let i = 0; i < 5; ++i) {
    const page = await openGame(browser, srv.url);
    await waitText(page, 'Select menu point');
    loads.push(await page.evaluate(() => window.gsFirstTextMs));
    await page.close();
  }
  console.log(`load to the first menu: median ${median(loads).toFixed(0)} ms ` +
    `(first ${loads[0].toFixed(0)} ms, of ${loads.map((x) => x.toFixed(0)).join(', ')})`);

  // A real-time turn on level 2: a shot's flight, the enemy's answer and the drawing between, from
  // the Enter that fires to the next question.
  const turns = [];
  for (const shot of ['22 32', '30 45', '45 30']) {
    const page = await openGame(browser, srv.url, '?seed=1&keys=' + encodeURIComponent('1\n2\n2\n1\n'));
    await waitText(page, 'Enter speed and angle of the shot');
    await waitIdle(page);
    await page.keyboard.type(shot);
    const before = await page.evaluate(() => ({ t: performance.now(), paused: Module.gsPage.pausedMs }));
    await page.keyboard.press('Enter');
    await page.waitForFunction((s) => {
      const text = [...document.getElementById('console-text').children].map((l) => l.textContent).join('\n');
      return text.slice(text.indexOf(s + '\n')).includes('Select a type');
    }, shot, { timeout: 120000, polling: 5 });
    const after = await page.evaluate(() => ({ t: performance.now(), paused: Module.gsPage.pausedMs }));
    const wall = after.t - before.t, paused = after.paused - before.paused;
    turns.push({ shot, wall, paused, over: (100 * (wall - paused)) / paused });
    await page.close();
  }
  for (const t of turns)
    console.log(`turn "${t.shot}": wall ${t.wall.toFixed(0)} ms, pauses ${t.paused.toFixed(0)} ms, ` +
      `${t.over >= 0 ? '+' : ''}${t.over.toFixed(1)} %`);

  // Waiting for a key at the menu, over ten seconds: the page's own main-thread work
  // (Chromium's task time) and its renderer's CPU time, against an empty page's.
  const idle = async (query) => {
    const page = query === null ? await browser.newPage() : await openGame(browser, srv.url, query);
    if (query !== null) {
      await waitText(page, 'Select menu point');
      await waitIdle(page);
    }
    const session = await page.context().newCDPSession(page);
    await session.send('Performance.enable');
    const task = async () => (await session.send('Performance.getMetrics')).metrics
      .find((m) => m.name === 'TaskDuration').value;
    const cpu = await cpuMeter(browser);
    const c0 = await cpu.read(), k0 = await task(), t0 = Date.now();
    await new Promise((r) => setTimeout(r, 10000));
    const c1 = await cpu.read(), k1 = await task(), s = (Date.now() - t0) / 1000;
    await cpu.close();
    await page.close();
    return { renderer: (100 * (c1 - c0)) / s, task: (100 * (k1 - k0)) / s };
  };
  const game = await idle(''), blank = await idle(null);
  console.log(`waiting for a key: main thread busy ${game.task.toFixed(2)} %, renderer CPU ` +
    `${game.renderer.toFixed(1)} % (an empty page: ${blank.task.toFixed(2)} %, ${blank.renderer.toFixed(1)} %)`);
} finally {
  await browser.close();
  srv.stop();
}
