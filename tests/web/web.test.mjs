// The game's web page in Debian's headless Chromium, held against the desktop program:
// the same keys give the same console text and the same picture, a shipped demo plays to
// its stored transcript, and the page's own parts (the layout, the keys typed on the page,
// the options of the address) do what the window and the command line do.
// Run by ctest (tests/web/run.sh) after `make web`; GS_BINARY is the desktop program.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {
  ROOT, serve, launch, openGame, consoleText, waitText, waitIdle, exitStatus, compareWithPng,
} from './harness.mjs';

const DESKTOP = process.env.GS_BINARY || path.join(ROOT, 'build', 'gorvenshale');

let srv, browser;
before(async () => {
  srv = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  srv?.stop();
});

/** The desktop program with piped keys: its output, exit status and snapshots. */
function desktop(keys, ...options) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'gs-web-test-'));
  const run = spawnSync(DESKTOP, ['--headless', '--fast', '--seed', '1', '--snapshots', dir, ...options],
    { cwd: ROOT, input: keys, encoding: 'latin1', timeout: 60000 });
  const shots = fs.readdirSync(dir).sort().map((f) => fs.readFileSync(path.join(dir, f)));
  fs.rmSync(dir, { recursive: true });
  return { out: run.stdout, status: run.status, shots };
}

// The desktop's headless picture is 1280 x 1024; the page's own choice follows the browser
// window, so the comparisons name the size.
const address = (keys) => '?seed=1&fast=1&size=1280x1024&keys=' + encodeURIComponent(keys);
// Play, Custom level 1, a shot into the ground that destroys the gun, and no second try;
// the line ends of every kind a pipe takes.
const WHOLE_GAME = '1\r\n2\r1\n1\n0 0\r\nn\n';
// Up to the question after the first real shot: the shell has flown and landed.
const AFTER_A_SHOT = '1\n2\n1\n1\n22 32\n';

describe('the page against the desktop program', () => {
  test('a scripted game gives the desktop\'s console text and exit status', async () => {
    const want = desktop(WHOLE_GAME);
    assert.equal(want.status, 0);
    const page = await openGame(browser, srv.url, address(WHOLE_GAME));
    assert.equal(await exitStatus(page), 0);
    assert.equal(await consoleText(page), want.out);
    assert.deepEqual(page.errors, []);
    // The battle is over: its picture is gone, as from the one window.
    const lit = await page.evaluate(() => {
      const c = document.getElementById('picture');
      const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let n = 0;
      for (let i = 0; i < px.length; i += 4) if (px[i] || px[i + 1] || px[i + 2]) ++n;
      return n;
    });
    assert.equal(lit, 0);
    await page.close();
  });

  test('waiting for the next answer, the canvas is the desktop\'s snapshot, pixel for pixel', async () => {
    // The desktop's keys end there (run-time error 100, and a line end of its own if the
    // line was open); the page waits for the player.
    const want = desktop(AFTER_A_SHOT);
    assert.equal(want.status, 100);
    // Room for the whole 1280 x 1024 picture at its own size under the console.
    const page = await openGame(browser, srv.url, address(AFTER_A_SHOT), { width: 1300, height: 1400 });
    await waitText(page, 'Enter speed and angle of the shot\n22 32\nSelect a type');
    await waitIdle(page);
    const shown = await consoleText(page);
    assert.equal(shown.endsWith('\n') ? shown : shown + '\n', want.out);
    const picture = await compareWithPng(page, want.shots.at(-1));
    assert.deepEqual(picture.canvas, picture.png);
    assert.equal(picture.differing, 0, JSON.stringify(picture.first));
    await page.close();
  });

  test('a shipped demo replays to its stored transcript', async () => {
    const page = await openGame(browser, srv.url, '?fast=1&replay=skirmish.demo');
    assert.equal(await exitStatus(page), 0);
    const stored = fs.readFileSync(path.join(ROOT, 'tests', 'demos', 'skirmish.out'), 'latin1');
    assert.equal(await consoleText(page), stored);
    await page.close();
  });
});

/** An indexed PNG of the desktop's snapshots: its size, its pixels' colour indices and its
 *  palette (8 bits a pixel, one IDAT stream, as the program writes them). */
function indexedPng(bytes) {
  let w = 0, h = 0, palette = null;
  const data = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') [w, h] = [body.readUInt32BE(0), body.readUInt32BE(4)];
    else if (type === 'PLTE') palette = body;
    else if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const px = new Uint8Array(w * h);
  for (let y = 0; y < h; ++y) {
    const filter = raw[y * (w + 1)];
    for (let x = 0; x < w; ++x) {
      const a = x > 0 ? px[y * w + x - 1] : 0, b = y > 0 ? px[(y - 1) * w + x] : 0;
      const c = x > 0 && y > 0 ? px[(y - 1) * w + x - 1] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      px[y * w + x] = (raw[y * (w + 1) + 1 + x] + predicted) & 0xff;
    }
  }
  return { w, h, px, palette };
}

/** The snapshot as shown at `sw` x `sh`: each shown pixel the highest colour index of the
 *  picture pixels it stands for (whole blocks at a whole factor), as RGB. */
function shownAs(png, sw, sh) {
  const span = (at, side, shown) => {
    const from = Math.floor(at * side / shown);
    return [from, Math.max(from + 1, Math.floor((at + 1) * side / shown))];
  };
  const rgb = new Uint8Array(sw * sh * 3);
  for (let y = 0; y < sh; ++y) {
    const [top, bottom] = span(y, png.h, sh);
    for (let x = 0; x < sw; ++x) {
      const [left, right] = span(x, png.w, sw);
      let index = 0;
      for (let sy = top; sy < bottom; ++sy)
        for (let sx = left; sx < right; ++sx) index = Math.max(index, png.px[sy * png.w + sx]);
      rgb.set(png.palette.subarray(index * 3, index * 3 + 3), (y * sw + x) * 3);
    }
  }
  return rgb;
}

describe('the whole battle in view', () => {
  test('level 12 is shown whole, counters under the bars, on a laptop, a desktop and a phone', async () => {
    const keys = '1\n2\n12\n'; // Play, Custom level, level 12: the battle's first wait
    const level = fs.readFileSync(path.join(ROOT, 'level', '12.txt'), 'latin1').split(/\s+/).map(Number);
    const unitsX = Array.from({ length: level[0] }, (_, i) => level[6 + 2 * i]);
    for (const [width, height, dpr] of [[1366, 768, 1], [1920, 1080, 1], [390, 844, 3]]) {
      const at = `${width}x${height}@${dpr}`;
      const page = await openGame(browser, srv.url, '?seed=1&fast=1&keys=' + encodeURIComponent(keys),
        { width, height }, dpr);
      await waitText(page, 'Level 12');
      await waitIdle(page);
      const seen = await page.evaluate(() => {
        const c = document.getElementById('picture'), r = c.getBoundingClientRect();
        const size = [Module.gsPage.picture.w, Module.gsPage.picture.h];
        return { size, canvas: [c.width, c.height], css: [r.width, r.height],
          shown: c.dataset.shown.split('x').map(Number),
          consoleCss: document.getElementById('console').getBoundingClientRect().height };
      });
      const [pw, ph] = seen.size;
      // Every unit with its sprite (40 columns each side at most) inside the picture, and
      // the top counter (40 rows above the bottom edge) below the health bars (rows 510 to
      // 515).
      assert.ok(pw >= 1280 && Math.max(...unitsX) + 40 < pw, at + ' ' + pw);
      assert.ok(ph - 1 - 40 > 515, at + ' ' + ph);
      // Shown in device pixels, inside the room, by a whole factor or shrunk; the canvas is
      // the picture or its shrunk showing.
      const [sw, sh] = seen.shown;
      assert.ok(sw <= width * dpr && sh <= height * dpr, at);
      assert.ok(Math.abs(seen.css[0] * dpr - sw) < 1 && Math.abs(seen.css[1] * dpr - sh) < 1, at);
      const whole = sw % pw === 0 && sw / pw === sh / ph;
      assert.ok(whole || (sw < pw && Math.abs(sw / sh - pw / ph) < 0.01), at + ' ' + seen.shown);
      if (dpr === 3) assert.equal(sw, width * dpr, 'the phone\'s whole width');
      // The console's 20 rows at least 12 CSS pixels high where its 80 columns fit at that.
      if (width >= 480) assert.ok(seen.consoleCss / 20 >= 12, at + ' ' + seen.consoleCss);
      // The picture is the desktop's at the same size, reduced as the program reduces it.
      const want = desktop(keys, '--size', `${pw}x${ph}`);
      const png = indexedPng(want.shots.at(-1));
      assert.deepEqual([png.w, png.h], seen.size, at);
      const [cw, ch] = seen.canvas;
      const differing = await page.evaluate(async ([b64, w, h]) => {
        const want = new Uint8Array(await (await fetch('data:;base64,' + b64)).arrayBuffer());
        const got = document.getElementById('picture').getContext('2d').getImageData(0, 0, w, h).data;
        let n = 0;
        for (let i = 0; i < w * h; ++i)
          for (let k = 0; k < 3; ++k) if (got[i * 4 + k] !== want[i * 3 + k]) { ++n; break; }
        return n;
      }, [Buffer.from(shownAs(png, cw, ch)).toString('base64'), cw, ch]);
      assert.equal(differing, 0, at);
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  });
});

describe('the page', () => {
  test('the menu appears on the console canvas and in the text, and idles there', async () => {
    const page = await openGame(browser, srv.url);
    await waitText(page, 'Select menu point');
    await waitIdle(page);
    const lit = await page.evaluate(() => {
      const c = document.getElementById('console');
      const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let n = 0;
      for (let i = 0; i < px.length; i += 4) if (px[i] || px[i + 1] || px[i + 2]) ++n;
      return { n, size: [c.width, c.height] };
    });
    assert.deepEqual(lit.size, [640, 320]); // 80 x 20 cells of 8 x 16
    assert.ok(lit.n > 500, `only ${lit.n} pixels of text`);
    assert.equal(await page.getAttribute('#console-text', 'aria-live'), 'polite');
    assert.equal(await page.textContent('#status'), '');
    assert.equal(await page.evaluate(() => document.body.dataset.exit), undefined);
    await page.close();
  });

  test('keys typed anywhere go to the game through the window\'s key mapping', async () => {
    const page = await openGame(browser, srv.url, '?seed=1&fast=1');
    await waitText(page, 'Select menu point');
    // "9" typed over by Home and "1", a Backspace taking back a stray "x", Enter.
    for (const key of ['9', 'Home', '1', 'x', 'Backspace', 'Shift', 'Control+a', 'Enter'])
      await page.keyboard.press(key);
    await waitText(page, 'Select game type');
    const text = await consoleText(page);
    assert.match(text, /Select menu point\n1\nGorvenshale\nSelect game type/);
    await page.close();
  });

  test('Up and Down bring back the earlier answers, to be edited and sent again', async () => {
    const page = await openGame(browser, srv.url, '?seed=1&fast=1');
    await waitText(page, 'Select menu point');
    for (const key of ['1', 'Enter']) await page.keyboard.press(key);
    await waitText(page, 'Select game type');
    // Up brings back "1", Down the empty line again, Up the "1", edited into "2".
    for (const key of ['ArrowUp', 'ArrowDown', 'ArrowUp', 'Backspace', '2', 'Enter'])
      await page.keyboard.press(key);
    await waitText(page, 'Enter the level number');
    // Newest first: "2", then "1".
    for (const key of ['ArrowUp', 'ArrowUp', 'Enter']) await page.keyboard.press(key);
    await waitText(page, 'Level 1 - Training ground');
    assert.match(await consoleText(page), /Select menu point\n2\nEnter the level number\n1\n/);
    await page.close();
  });

  test('?continue=1 starts the Campaign after the level won, kept in the local storage', async () => {
    // One browser profile: the pages share the site's local storage.
    const context = await browser.newContext({ viewport: { width: 1300, height: 1000 } });
    const open = async (query) => {
      const page = await context.newPage();
      await page.goto(srv.url + 'index.html' + query);
      return page;
    };
    const WIN_LEVEL_1 = '1\n22 32\n1\n27 38\n1\n31 42\n1\n35 40\n1\n40 38\n';
    const won = await open('?seed=1&fast=1&keys=' + encodeURIComponent('1\n1\n\n' + WIN_LEVEL_1));
    await waitText(won, 'Level 2 - Armour on the road');
    assert.match(await won.evaluate(() => localStorage.getItem('gorvenshale-campaign')),
      /^gorvenshale-campaign 1\nwon=1\nlevels=\/level\n$/);
    await won.close();
    const again = await open('?seed=1&fast=1&continue=1&keys=' + encodeURIComponent('1\n1\n'));
    await waitText(again, 'Level 2 - Armour on the road');
    assert.ok(!(await consoleText(again)).includes('Level 1 - Training ground'));
    await again.close();
    await context.close();
  });

  test('the picture is scaled by whole factors where they fit and never cropped', async () => {
    const page = await openGame(browser, srv.url, '?seed=1&fast=1&size=320x200&keys=' +
      encodeURIComponent(AFTER_A_SHOT), { width: 1300, height: 1000 });
    await waitText(page, 'Select a type');
    const shown = () => page.evaluate(() => {
      const r = (id) => document.getElementById(id).getBoundingClientRect();
      return { picture: [r('picture').width, r('picture').height], console: [r('console').width, r('console').height],
        stacked: document.getElementById('game').classList.contains('stacked') };
    });
    // Below the 640 x 320 console there is room for three times 320 x 200.
    assert.deepEqual(await shown(), { picture: [960, 600], console: [640, 320], stacked: true });
    // A smaller window: the console shrinks to half the height, the picture keeps its
    // own size below it, whole.
    await page.setViewportSize({ width: 700, height: 500 });
    await page.waitForFunction(() => document.getElementById('console').getBoundingClientRect().width < 640);
    assert.deepEqual(await shown(), { picture: [320, 200], console: [500, 250], stacked: true });
    // Smaller still: shrunk to fit, its shape kept, never cut.
    await page.setViewportSize({ width: 300, height: 400 });
    await page.waitForFunction(() => document.getElementById('picture').getBoundingClientRect().width < 320);
    const small = await shown();
    assert.ok(small.stacked && small.picture[0] <= 300 && small.picture[1] + small.console[1] <= 400);
    assert.ok(Math.abs(small.picture[0] / small.picture[1] - 1.6) < 0.02, JSON.stringify(small));
    // Shrunk, the program paints the canvas at the size it is shown (its own rule keeps the
    // one-pixel lines), even while it waits for a key; the browser does not resample it.
    await page.waitForFunction(() => {
      const c = document.getElementById('picture');
      return c.width === Math.round(c.getBoundingClientRect().width);
    });
    const canvas = await page.evaluate(() => {
      const c = document.getElementById('picture'), r = c.getBoundingClientRect();
      return [c.width, c.height, Math.round(r.width), Math.round(r.height)];
    });
    assert.deepEqual(canvas.slice(0, 2), canvas.slice(2));
    await page.close();
  });

  test('without a size the picture takes the room the page has, at its own size', async () => {
    const page = await openGame(browser, srv.url, '?seed=1&fast=1&keys=' +
      encodeURIComponent(AFTER_A_SHOT), { width: 1280, height: 1000 });
    await waitText(page, 'Select a type');
    const picture = await page.evaluate(() => {
      const c = document.getElementById('picture'), r = c.getBoundingClientRect();
      return [c.width, c.height, r.width, r.height];
    });
    // Under the 640 x 320 console 680 rows are left, enough for the battle.
    assert.deepEqual(picture, [1280, 680, 1280, 680]);
    await page.close();
  });

  test('a bad option in the address ends the game as on the command line', async () => {
    const page = await openGame(browser, srv.url, '?size=50x50');
    assert.equal(await exitStatus(page), 2);
    assert.match(await page.textContent('#status'), /gorvenshale: .*size/);
    await page.close();
  });
});

describe('the page\'s sound', () => {
  /** Types `lines` on the page as a player would, each line ended by Enter. */
  async function typeLines(page, lines) {
    for (const line of lines) {
      if (line) await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    }
  }
  const counts = (page) => page.evaluate(() => ({
    started: !!window.gsSound.ctx, state: window.gsSound.ctx?.state,
    played: window.gsSound.played, steered: window.gsSound.steered, muted: window.gsSound.muted,
  }));

  test('starts at the first key, is heard through a shot, and the button mutes it', async () => {
    const page = await openGame(browser, srv.url, '?seed=1&fast=1');
    await waitText(page, 'Select menu point');
    assert.equal((await counts(page)).started, false); // no gesture yet: no audio
    assert.equal(await page.textContent('#sound'), 'Sound: on');
    await typeLines(page, ['1', '2', '1', '1', '22 32']);
    await waitText(page, 'Enter speed and angle');
    await page.waitForFunction(() => window.gsSound.steered > 0 && window.gsSound.played > 1,
      null, { timeout: 30000, polling: 50 });
    const heard = await counts(page);
    assert.equal(heard.state, 'running');
    // The gun, the whistle steered at each step, the blast.
    assert.ok(heard.played >= 2, JSON.stringify(heard));
    assert.ok(heard.steered >= 3, JSON.stringify(heard));

    await page.click('#sound');
    assert.equal(await page.textContent('#sound'), 'Sound: off');
    assert.equal(await page.getAttribute('#sound', 'aria-pressed'), 'false');
    await waitIdle(page);
    const before = await counts(page);
    await typeLines(page, ['1', '22 32']);
    await page.waitForFunction(() => document.getElementById('console-text').textContent
      .split('22 32').length > 2, null, { timeout: 30000, polling: 50 });
    await waitIdle(page);
    const after = await counts(page);
    assert.equal(after.played, before.played); // muted: nothing more handed to the audio
    assert.equal(after.steered, before.steered);
    // The button took no key from the game, and nothing went wrong on the page.
    assert.match(await consoleText(page), /Select a type[^\n]*\n1\n/);
    assert.deepEqual(page.errors, []);
    assert.equal(await page.textContent('#status'), '');
    await page.close();
  });

  test('?sound=0 starts muted, ?sound=clicks clicks for each key', async () => {
    const quiet = await openGame(browser, srv.url, '?seed=1&fast=1&sound=0');
    await waitText(quiet, 'Select menu point');
    assert.equal(await quiet.textContent('#sound'), 'Sound: off');
    await typeLines(quiet, ['1', '2', '1', '1', '22 32']);
    await waitText(quiet, 'Enter speed and angle');
    await waitIdle(quiet);
    assert.deepEqual(await quiet.evaluate(() => [window.gsSound.played, window.gsSound.steered]), [0, 0]);
    await quiet.close();

    const clicking = await openGame(browser, srv.url, '?seed=1&fast=1&sound=clicks');
    await waitText(clicking, 'Select menu point');
    await clicking.keyboard.press('1'); // the gesture that starts the audio
    await clicking.waitForFunction(() => window.gsSound.ctx?.state === 'running', null,
      { timeout: 30000, polling: 50 });
    await clicking.keyboard.press('Backspace');
    await clicking.waitForFunction(() => window.gsSound.played >= 1, null, { timeout: 30000, polling: 50 });
    assert.deepEqual(clicking.errors, []);
    await clicking.close();
  });
});
