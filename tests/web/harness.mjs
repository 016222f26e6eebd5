// Shared by the browser tests and the page's figures: serves the page's folder on the
// loopback address with Python's http.server, starts Debian's Chromium headless through
// playwright-core, opens the game's page and reads what it shows.
import { spawn } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const ROOT = path.resolve(here, '..', '..');
export const SITE = process.env.GS_WEB_DIR || path.join(ROOT, 'build', 'web');
export const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
/** Every wait of the tests is bounded by this. */
export const LIMIT_MS = 30000;

/** Serves `dir` on 127.0.0.1 at a free port; resolves to { url, stop }. */
export function serve(dir = SITE) {
  return new Promise((resolve, reject) => {
    const py = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir],
      { stdio: ['ignore', 'pipe', 'pipe'] });
    const timer = setTimeout(() => { py.kill(); reject(new Error('http.server did not start')); }, LIMIT_MS);
    let seen = '';
    py.stdout.on('data', (d) => {
      seen += d;
      const m = /port (\d+)/.exec(seen);
      if (m) {
        clearTimeout(timer);
        resolve({ url: `http://127.0.0.1:${m[1]}/`, stop: () => py.kill() });
      }
    });
    py.stderr.on('data', () => {}); // the request log
    py.on('exit', (code) => { clearTimeout(timer); reject(new Error('http.server exited ' + code)); });
  });
}

/** Debian's Chromium, headless, in a fresh profile that playwright removes on close. */
export async function launch() {
  return chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-dev-shm-usage',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

/** Opens the page with a query string in a window of the given size (and pixel ratio). */
export async function openGame(browser, base, query = '', viewport = { width: 1300, height: 1000 },
  deviceScaleFactor = 1) {
  const page = await browser.newPage({ viewport, deviceScaleFactor });
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.goto(base + 'index.html' + query);
  return page;
}

/** The console's running text, its lines joined by LF. */
export function consoleText(page) {
  return page.evaluate(() => [...document.getElementById('console-text').children]
    .map((line) => line.textContent).join('\n'));
}

/** Waits (bounded) until the console's text (lines joined by LF) holds `text`. */
export async function waitText(page, text) {
  try {
    await page.waitForFunction((t) => [...document.getElementById('console-text').children]
      .map((line) => line.textContent).join('\n').includes(t), text, { timeout: LIMIT_MS, polling: 20 });
  } catch (e) {
    throw new Error(`"${text}" did not appear; the console shows:\n${await consoleText(page)}\n` +
      `status: ${await page.textContent('#status')}`);
  }
}

/** Waits (bounded) until the game waits for a key: its text has not changed while the
 *  page went through several frames. */
export async function waitIdle(page) {
  // Polled from here: waitForFunction takes the promise an async function returns for a
  // true answer at once.
  for (const end = Date.now() + LIMIT_MS; ; await new Promise((r) => setTimeout(r, 100))) {
    const idle = await page.evaluate(async () => {
      const text = () => document.getElementById('console-text').textContent;
      const before = text();
      for (let i = 0; i < 5; ++i) await new Promise((r) => requestAnimationFrame(r));
      return text() === before && before !== '';
    });
    if (idle) return;
    if (Date.now() > end) throw new Error('the page never came to rest');
  }
}

/** Waits until the program has ended; resolves to its status. */
export async function exitStatus(page) {
  await page.waitForFunction(() => document.body.dataset.exit !== undefined, null,
    { timeout: LIMIT_MS, polling: 20 });
  return Number(await page.evaluate(() => document.body.dataset.exit));
}

/** Compares the picture canvas with a PNG file, decoded by the browser itself: resolves
 *  to both sizes, the number of pixels whose colour differs, and the first of them. */
export function compareWithPng(page, bytes) {
  return page.evaluate(async (b64) => {
    const blob = await (await fetch('data:image/png;base64,' + b64)).blob();
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const png = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    png.drawImage(bitmap, 0, 0);
    const canvas = document.getElementById('picture');
    const want = png.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const got = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let differing = 0, first = null;
    if (want.length === got.length) {
      for (let i = 0; i < want.length; i += 4) {
        if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) {
          if (!first) first = { at: i / 4, want: [...want.slice(i, i + 3)], got: [...got.slice(i, i + 3)] };
          ++differing;
        }
      }
    }
    return { png: [bitmap.width, bitmap.height], canvas: [canvas.width, canvas.height], differing, first };
  }, Buffer.from(bytes).toString('base64'));
}

/** A meter of CPU use: the CPU seconds of the browser's renderer processes. */
export async function cpuMeter(browser) {
  const session = await browser.newBrowserCDPSession();
  const read = async () => {
    const info = await session.send('SystemInfo.getProcessInfo');
    return info.processInfo.filter((p) => p.type === 'renderer').reduce((s, p) => s + p.cpuTime, 0);
  };
  return { read, close: () => session.detach() };
}
