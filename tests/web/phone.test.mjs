// The game's web page on a phone, in Debian's headless Chromium with a 390 x 844 touch
// screen (3 device pixels to the CSS pixel), either way up: a battle won by taps on the
// keypad alone and one won through the phone's own keyboard give the desktop program's
// transcript, the page lays itself out readably without scrolling, and after one visit
// it opens and plays with the server gone. GS_BINARY is the desktop program.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { ROOT, SITE, LIMIT_MS, serve, launch, consoleText, waitText, waitIdle } from './harness.mjs';

const DESKTOP = process.env.GS_BINARY || path.join(ROOT, 'build', 'gorvenshale');
const PORTRAIT = { width: 390, height: 844 }, LANDSCAPE = { width: 844, height: 390 };

let srv, browser;
before(async () => {
  srv = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  srv?.stop();
});

/** The desktop program's transcript of these keys (stdout only). */
function desktop(keys, seed) {
  const run = spawnSync(DESKTOP, ['--headless', '--fast', '--seed', String(seed)],
    { cwd: ROOT, input: keys, encoding: 'latin1', timeout: 60000 });
  return run.stdout;
}

/** A page on a phone held this way up. */
async function phone(viewport, base = srv.url, query = '', context = null) {
  const ctx = context || await browser.newContext({ viewport, deviceScaleFactor: 3, hasTouch: true, isMobile: true });
  const page = await ctx.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(String(e)));
  await page.goto(base + 'index.html' + query);
  return page;
}

// The keypad's key for each byte an answer is typed with.
const KEY_NAMES = { ' ': 'Space', '\n': 'Enter', '-': 'Minus', y: 'Y', n: 'N' };
const keyOf = (page, ch) => page.getByRole('button', { name: KEY_NAMES[ch] || ch, exact: true });
async function tapAll(page, keys) {
  for (const ch of keys) await keyOf(page, ch).tap();
}

// Campaign level 1 won in two shots (the shipped campaign demo's seed and first answers);
// the briefing's wait for any key answered by Enter. The picture is the desktop's size.
const SEED = 2026, QUERY = `?seed=${SEED}&fast=1&size=1280x1024`;
const LEVEL_1 = ['1\n1\n\n3\n', '51 77\n', '1\n56 86\n'];
const WON = 'VICTORY!!!\n\nLevel 2 - Armour on the road';

/** Where the page's parts are, and what would make it scroll. */
function layout(page) {
  return page.evaluate(() => {
    const box = (el) => { const r = el.getBoundingClientRect(); return { x: r.x, y: r.y, w: r.width, h: r.height }; };
    const log = document.getElementById('console-text'), typed = document.getElementById('answer');
    return {
      view: { w: innerWidth, h: innerHeight },
      scroll: { w: document.scrollingElement.scrollWidth, h: document.scrollingElement.scrollHeight },
      picture: box(document.getElementById('picture')),
      canvas: [document.getElementById('picture').width, document.getElementById('picture').height],
      text: box(document.getElementById('transcript')),
      keypad: box(document.getElementById('keypad')),
      keys: [...document.querySelectorAll('#keypad button')].map((b) => ({ name: b.getAttribute('aria-label') || b.textContent, ...box(b) })),
      fontPx: Math.min(parseFloat(getComputedStyle(log).fontSize), parseFloat(getComputedStyle(typed).fontSize)),
      // The lines' own height, and the answer being typed, the transcript's last line.
      lineH: Math.min(...[...log.children].filter((l) => l.textContent).map((l) => box(l).h)),
      answer: { ...box(typed), text: typed.textContent },
      lastQuestion: box([...log.children].filter((l) => l.textContent).at(-1)),
    };
  });
}

/** Waits (bounded) until the answer being typed shows `text` (the cursor after it). */
const waitAnswer = (page, text) => page.waitForFunction((t) => document.getElementById('answer').textContent === t + ' ',
  text, { timeout: LIMIT_MS, polling: 20 });

/** The page fits its screen, unscrolled, the picture, the transcript and the keypad side
 *  by side or one above the other; the text and the keys are large enough to read and hit. */
function assertPhoneLayout(l) {
  const inView = (b) => b.x >= -0.5 && b.y >= -0.5 && b.x + b.w <= l.view.w + 0.5 && b.y + b.h <= l.view.h + 0.5;
  const apart = (a, b) => a.x + a.w <= b.x + 0.5 || b.x + b.w <= a.x + 0.5 || a.y + a.h <= b.y + 0.5 || b.y + b.h <= a.y + 0.5;
  const all = JSON.stringify(l);
  assert.ok(l.scroll.w <= l.view.w && l.scroll.h <= l.view.h, 'the page scrolls: ' + all);
  for (const part of [l.picture, l.text, l.keypad]) assert.ok(inView(part) && part.w > 0 && part.h > 0, all);
  assert.ok(apart(l.picture, l.text) && apart(l.picture, l.keypad) && apart(l.text, l.keypad), all);
  // A whole picture, at least half the screen's width or height.
  assert.ok(l.picture.w >= l.view.w / 2 || l.picture.h >= l.view.h / 2, all);
  assert.ok(l.fontPx >= 14 && l.lineH >= 14 && l.answer.h >= 14, all);
  // The answer being typed, under the question, is in view.
  assert.ok(l.answer.y >= l.text.y - 0.5 && l.answer.y + l.answer.h <= l.text.y + l.text.h + 0.5, all);
  assert.equal(l.keys.length, 19);
  for (const key of l.keys) assert.ok(key.w >= 44 && key.h >= 44 && inView(key), JSON.stringify(key));
}

for (const [way, viewport, turned] of [['portrait', PORTRAIT, LANDSCAPE], ['landscape', LANDSCAPE, PORTRAIT]]) {
  describe(`on a phone held in ${way}`, () => {
    test('Campaign level 1 won by taps on the keypad alone gives the desktop\'s transcript', async () => {
      const want = desktop(LEVEL_1.join(''), SEED);
      assert.ok(want.includes(WON));
      const page = await phone(viewport, srv.url, QUERY);
      await waitText(page, 'Select menu point');
      assert.equal(await page.evaluate(() => document.activeElement.id), '', 'the keypad brought up a keyboard');
      await tapAll(page, LEVEL_1[0]);
      await waitText(page, 'Enter speed and angle of the shot');
      await tapAll(page, '51 7');
      await waitAnswer(page, '51 7');
      await waitIdle(page);
      const typing = await layout(page);
      assertPhoneLayout(typing);
      // The question just above the answer.
      assert.ok(typing.lastQuestion.y + typing.lastQuestion.h <= typing.answer.y + 0.5 &&
        typing.lastQuestion.y >= typing.text.y - 0.5, JSON.stringify(typing));
      await tapAll(page, '7\n');
      await waitText(page, '51 77\nSelect a type');
      // Turned mid-battle: the page lays itself out anew, the battle goes on.
      await page.setViewportSize(turned);
      await page.waitForFunction((w) => innerWidth === w && document.body.classList.contains('landscape') === (w > innerHeight),
        turned.width, { timeout: LIMIT_MS });
      await waitIdle(page);
      const l = await layout(page);
      assertPhoneLayout(l);
      // The 1280 x 1024 picture shrunk, painted at the size it is shown.
      assert.deepEqual(l.canvas, [Math.round(l.picture.w), Math.round(l.picture.h)]);
      await tapAll(page, LEVEL_1[2]);
      await waitText(page, WON);
      await waitIdle(page);
      const shown = await consoleText(page);
      assert.equal(shown.endsWith('\n') ? shown : shown + '\n', want);
      assert.deepEqual(page.errors, []);
      await page.context().close();
    });

    test('answers typed on the phone\'s own keyboard give the desktop\'s transcript', async () => {
      const want = desktop(LEVEL_1.join(''), SEED);
      const page = await phone(viewport, srv.url, QUERY);
      await waitText(page, 'Select menu point');
      // The Keyboard key focuses the real input (which brings up the phone's keyboard).
      await page.getByRole('button', { name: 'Keyboard', exact: true }).tap();
      assert.equal(await page.evaluate(() => document.activeElement.id), 'typing');
      assert.equal(await page.getAttribute('#show-keyboard', 'aria-pressed'), 'true');
      // Keys with their own key codes, as a hardware keyboard or a simple phone keyboard.
      await page.keyboard.type(LEVEL_1[0]);
      await waitText(page, 'Enter speed and angle of the shot');
      // A composing keyboard (Android's, key code 229): a word built up, corrected, then
      // committed; the game gets the keys that make each change.
      const ime = await page.context().newCDPSession(page);
      for (const text of ['5', '59', '5'])
        await ime.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
      await ime.send('Input.insertText', { text: '51' });
      await page.keyboard.insertText(' 77');
      await waitAnswer(page, '51 77');
      await page.keyboard.press('Enter');
      await waitText(page, '51 77\nSelect a type');
      // Text inserted in one piece (a keyboard's suggestion), then Enter.
      await page.keyboard.insertText('1');
      await page.keyboard.press('Enter');
      await page.keyboard.insertText('56 86');
      await page.keyboard.press('Enter');
      await waitText(page, WON);
      await waitIdle(page);
      const shown = await consoleText(page);
      assert.equal(shown.endsWith('\n') ? shown : shown + '\n', want);
      assert.equal(await page.inputValue('#typing'), '', 'the input starts each answer empty');
      assert.deepEqual(page.errors, []);
      await page.context().close();
    });
  });
}

describe('a tablet', () => {
  test('on its side keeps every console readable, and upright the 80 x 20 console', async () => {
    const ctx = await browser.newContext({ viewport: { width: 1024, height: 768 }, deviceScaleFactor: 2,
      hasTouch: true, isMobile: true });
    const page = await ctx.newPage();
    await page.goto(srv.url + 'index.html?seed=1&fast=1&keys=' + encodeURIComponent('1\n2\n1\n\n'));
    await waitText(page, 'Select a type of the ammunition');
    await waitIdle(page);
    // The 80 x 20 console where its text stays 14 CSS pixels high, else the phone's layout.
    const side = await page.evaluate(() => ({
      narrow: document.body.classList.contains('narrow'),
      consoleH: document.getElementById('console').getBoundingClientRect().height,
    }));
    if (side.narrow) assertPhoneLayout(await layout(page));
    else assert.ok(side.consoleH >= 20 * 14 - 0.5, JSON.stringify(side));
    // Upright it has room for the console at its own size, above the keypad.
    await page.setViewportSize({ width: 768, height: 1024 });
    // On its side the page may not have been narrow: wait for the new layout itself.
    await page.waitForFunction(() => !document.body.classList.contains('narrow') &&
      document.getElementById('console').getBoundingClientRect().width === 640, null, { timeout: LIMIT_MS });
    const upright = await page.evaluate(() => {
      const r = (id) => document.getElementById(id).getBoundingClientRect();
      return { console: [r('console').width, r('console').height], bottom: r('console').bottom, keypadTop: r('keypad').top };
    });
    assert.deepEqual(upright.console, [640, 320]);
    assert.ok(upright.bottom <= upright.keypadTop, JSON.stringify(upright));
    await ctx.close();
  });
});

describe('the keypad', () => {
  test('each key gives the game what the keyboard\'s key of that name gives', async () => {
    const page = await phone(PORTRAIT, srv.url, '?seed=1&fast=1');
    await waitText(page, 'Select menu point');
    // The game's keys as the page hands them on, one list per key.
    await page.evaluate(() => {
      const keys = Module.gsPage.keys, push = keys.push.bind(keys);
      window.pushed = [];
      keys.push = (code) => { window.pushed.push(code); push(code); };
    });
    const taken = () => page.evaluate(() => window.pushed.splice(0));
    const pairs = [['1', '1'], ['0', '0'], ['Space', ' '], ['Minus', '-'], ['Backspace', 'Backspace'],
      ['Enter', 'Enter'], ['Y', 'y'], ['N', 'n'], ['Up', 'ArrowUp'], ['Down', 'ArrowDown']];
    for (const [name, key] of pairs) {
      await page.getByRole('button', { name, exact: true }).tap();
      const tapped = await taken();
      await page.keyboard.press(key);
      const pressed = await taken();
      assert.deepEqual(tapped, pressed, `${name} taps ${tapped}, the keyboard's ${key} gives ${pressed}`);
      assert.equal(tapped.length, 1, name);
    }
    // A tap on the console brings up the phone's keyboard too.
    await page.locator('#console-text').tap();
    assert.equal(await page.evaluate(() => document.activeElement.id), 'typing');
    await page.context().close();
  });

  test('a desktop page with a mouse shows the 80 x 20 console and no keypad', async () => {
    const page = await browser.newPage({ viewport: { width: 1300, height: 1000 } });
    await page.goto(srv.url + 'index.html?seed=1&fast=1');
    await waitText(page, 'Select menu point');
    const shown = await page.evaluate(() => ({
      keypad: getComputedStyle(document.getElementById('keypad')).display,
      console: document.getElementById('console').getBoundingClientRect().width,
      body: document.body.className,
    }));
    assert.deepEqual(shown, { keypad: 'none', console: 640, body: '' });
    await page.close();
  });
});

/** Polls `predicate` (async) in the page until it is true (bounded). */
async function until(page, predicate) {
  for (const end = Date.now() + LIMIT_MS; Date.now() < end; await new Promise((r) => setTimeout(r, 50)))
    if (await page.evaluate(predicate)) return;
  throw new Error('never true: ' + predicate);
}

/** Resolves once nothing answers at `url` (bounded). */
async function gone(url) {
  for (const end = Date.now() + LIMIT_MS; Date.now() < end; await new Promise((r) => setTimeout(r, 20))) {
    try {
      await fetch(url);
    } catch {
      return;
    }
  }
  throw new Error(url + ' still answers');
}

describe('offline', () => {
  /** Waits until the page's service worker has taken it over; resolves to the caches. */
  const kept = (page) => page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 20));
    return caches.keys();
  });

  test('after one visit the page opens and plays with its server gone', async () => {
    const own = await serve();
    const first = await phone(PORTRAIT, own.url, '?seed=1&fast=1');
    await waitText(first, 'Select menu point');
    assert.equal((await kept(first)).length, 1);
    own.stop();
    await gone(own.url);
    const page = await phone(PORTRAIT, own.url, '?seed=1&fast=1', first.context());
    await waitText(page, 'Select menu point');
    await tapAll(page, '1\n2\n1\n\n');
    await waitText(page, 'Select a type of the ammunition');
    assert.deepEqual(page.errors, []);
    assert.equal(await page.textContent('#status'), '');
    await first.context().close();
  });

  test('a new version of the site replaces the kept one on the next visit', async () => {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'gs-web-site-'));
    fs.cpSync(SITE, dir, { recursive: true });
    const own = await serve(dir);
    try {
      const first = await phone(PORTRAIT, own.url);
      await waitText(first, 'Select menu point');
      const before = await kept(first);
      assert.equal(before.length, 1);
      // A new build: another page, and the worker's new version.
      const page = path.join(dir, 'index.html'), worker = path.join(dir, 'service-worker.js');
      fs.writeFileSync(page, fs.readFileSync(page, 'latin1').replace('<title>', '<meta name="gs-new">\n<title>'));
      fs.writeFileSync(worker, fs.readFileSync(worker, 'latin1').replace(/const VERSION = '([^']*)'/, "const VERSION = '$1-new'"));
      const second = await phone(PORTRAIT, own.url, '', first.context());
      await waitText(second, 'Select menu point');
      await until(second, async () => {
        const names = await caches.keys();
        return names.length === 1 && names[0].endsWith('-new');
      });
      // The visit after that is the new page, even with the server gone.
      own.stop();
      await gone(own.url);
      const third = await phone(PORTRAIT, own.url, '', first.context());
      await waitText(third, 'Select menu point');
      assert.equal(await third.locator('meta[name="gs-new"]').count(), 1);
      await first.context().close();
    } finally {
      own.stop();
      fs.rmSync(dir, { recursive: true });
    }
  });
});
