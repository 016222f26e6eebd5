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
