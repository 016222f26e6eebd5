// The page's half of the game in a browser (loaded before gorvenshale.js): the address's
// options become the program's arguments, a demo named there and the keys typed there are
// put into the program's files before it starts, keys typed anywhere on the page go to the
// game, and the program's picture, console and end are shown.
'use strict';

var Module = (function () {
  const $ = (id) => document.getElementById(id);
  const utf8 = new TextEncoder();
  // Keys typed while the game is busy wait here; a held key cannot fill memory.
  const MAX_QUEUED_KEYS = 4096;
  // The transcript keeps this many lines; older ones leave the page.
  const MAX_LINES = 10000;
  // The smallest picture the page chooses by itself: the battle's rows, and a width that
  // shows the nearest units (the program's SMALLEST_CHOSEN_W and _H, as the one window's).
  const BATTLE_ROWS = 540, MIN_PICTURE_W = 640;
  // What a key wait returns when the page's layout changed (the program's RELAID_OUT).
  const RELAID_OUT = -2;

  // ---- Keys ----
  const keys = {
    named: {}, // KeyboardEvent.key -> the game's key code; filled by the program
    queue: [],
    waiter: null,
    push(code) {
      if (this.waiter) {
        const wake = this.waiter;
        this.waiter = null;
        wake(code);
      } else if (this.queue.length < MAX_QUEUED_KEYS) {
        this.queue.push(code);
      }
    },
    // A waiting game wakes up to show the page anew, with no key for it.
    relayout() {
      if (!this.waiter) return;
      const wake = this.waiter;
      this.waiter = null;
      wake(RELAID_OUT);
    },
    poll() { return this.queue.length ? this.queue.shift() : -1; },
    next() {
      if (this.queue.length) return Promise.resolve(this.queue.shift());
      return new Promise((resolve) => { this.waiter = resolve; });
    },
  };

  function keyCodes(e) {
    if (e.isComposing) return null;
    // Shortcuts stay the browser's; AltGr (Ctrl+Alt on some systems) types characters.
    if ((e.ctrlKey || e.altKey || e.metaKey) && !e.getModifierState('AltGraph')) return null;
    if (e.key in keys.named) return [keys.named[e.key]];
    // A typed character: its UTF-8 bytes, one key each, as the window's text input gives.
    if ([...e.key].length === 1) return [...utf8.encode(e.key)];
    return null; // Shift, Dead and the keys the game has no use for
  }

  // ---- Sound ----
  // The program renders every sound with its own synthesiser (game/web_sound.h) and hands
  // over the samples; the browser mixes them on its audio thread, through the program's
  // own limiter as a wave shaper. A browser lets a page sound only after a gesture: the
  // audio starts at the first key or tap, and what sounds before it is not heard.
  const WAVES = ['sine', 'square', 'sawtooth', 'triangle'];
  const sound = {
    ctx: null, input: null, master: null, whistle: null,
    muted: false, clicks: false, curve: null, click: null, rate: 48000,
    played: 0, steered: 0, // for the tests: sounds handed to the audio so far
    setup(on, clicks, curve, click, rate) {
      this.muted = !on;
      this.clicks = !!clicks;
      this.curve = curve;
      this.click = click;
      this.rate = rate;
      this.showButton();
    },
    start() {
      if (this.ctx) {
        if (this.ctx.state === 'suspended') this.ctx.resume().catch(() => {});
        return;
      }
      if (!this.curve || !window.AudioContext) return;
      try {
        const ctx = new AudioContext({ latencyHint: 'interactive' });
        // The shaper's curve is the limiter over four times full scale.
        const input = new GainNode(ctx, { gain: 0.25 });
        const limiter = new WaveShaperNode(ctx, { curve: this.curve });
        this.master = new GainNode(ctx, { gain: this.muted ? 0 : 1 });
        input.connect(limiter).connect(this.master).connect(ctx.destination);
        this.ctx = ctx;
        this.input = input;
        if (ctx.state === 'suspended') ctx.resume().catch(() => {});
      } catch (e) {
        this.ctx = null; // no audio here: the game is silent, never in error
      }
    },
    listening() { return !!this.ctx && !this.muted && this.ctx.state === 'running'; },
    buffer(samples) {
      const b = this.ctx.createBuffer(1, samples.length, this.rate);
      b.copyToChannel(samples, 0);
      return b;
    },
    play(samples) {
      if (!this.listening() || !samples.length) return;
      const source = new AudioBufferSourceNode(this.ctx, { buffer: this.buffer(samples) });
      source.connect(this.input);
      source.start();
      this.played++;
    },
    // The whistle: one oscillator steered to each new pitch, held while it is steered and
    // fading over its length once the steering stops, as the program's own voice does.
    steer(wave, hz, volume, attackMs, lengthMs) {
      if (!this.listening()) return;
      const now = this.ctx.currentTime;
      let w = this.whistle;
      if (!w || w.ends <= now) {
        const osc = new OscillatorNode(this.ctx, { type: WAVES[wave] || 'sine', frequency: hz });
        const gain = new GainNode(this.ctx, { gain: 0 });
        osc.connect(gain).connect(this.input);
        osc.start();
        gain.gain.linearRampToValueAtTime(volume, now + attackMs / 1000);
        w = this.whistle = { osc, gain, ends: 0 };
      } else {
        w.osc.frequency.setTargetAtTime(hz, now, 0.01);
        w.gain.gain.cancelScheduledValues(now);
        w.gain.gain.setValueAtTime(volume, now);
      }
      w.ends = now + lengthMs / 1000;
      w.gain.gain.linearRampToValueAtTime(0, w.ends);
      w.osc.stop(w.ends + 0.05);
      this.steered++;
    },
    keyClick() { if (this.clicks && this.click) this.play(this.click); },
    toggle() {
      this.muted = !this.muted;
      this.start();
      if (this.master) this.master.gain.value = this.muted ? 0 : 1;
      this.showButton();
    },
    showButton() {
      const b = $('sound');
      if (!b) return;
      b.textContent = this.muted ? 'Sound: off' : 'Sound: on';
      b.setAttribute('aria-pressed', String(!this.muted));
    },
  };
  window.gsSound = sound;

  window.addEventListener('pointerdown', () => sound.start());
  window.addEventListener('keydown', (e) => {
    sound.start();
    const codes = keyCodes(e);
    if (!codes) return;
    e.preventDefault(); // no scrolling by arrows or space, no help on F1
    sound.keyClick();
    for (const c of codes) keys.push(c);
  });
  window.addEventListener('DOMContentLoaded', () => {
    const b = $('sound');
    if (!b) return;
    sound.showButton();
    b.addEventListener('click', () => {
      sound.toggle();
      b.blur(); // the keys stay the game's: Space or Enter never presses the button
    });
  });

  // ---- The address: ?seed=N&fast=1&size=WxH&keys=TEXT&replay=NAME ----
  // The keys are bytes: %XX is one byte, + a space, any other character its UTF-8 bytes.
  function queryBytes(text) {
    const bytes = [];
    for (let i = 0; i < text.length; ) {
      if (text[i] === '%' && /^[0-9A-Fa-f]{2}$/.test(text.substr(i + 1, 2))) {
        bytes.push(parseInt(text.substr(i + 1, 2), 16));
        i += 3;
      } else {
        const ch = String.fromCodePoint(text.codePointAt(i));
        bytes.push(...(ch === '+' ? [32] : utf8.encode(ch)));
        i += ch.length;
      }
    }
    return new Uint8Array(bytes);
  }
  const args = [];
  let startKeys = null, replayName = null;
  for (const pair of location.search.replace(/^\?/, '').split('&')) {
    if (!pair) continue;
    const at = pair.indexOf('=');
    const name = at < 0 ? pair : pair.slice(0, at);
    const raw = at < 0 ? '' : pair.slice(at + 1);
    const value = new TextDecoder().decode(queryBytes(raw));
    if (name === 'seed') args.push('--seed', value);
    else if (name === 'fast') { if (value !== '0') args.push('--fast'); }
    else if (name === 'size') args.push('--size', value);
    else if (name === 'sound') args.push('--sound', value === '0' ? 'off' : value === '1' ? 'on' : value);
    else if (name === 'keys') startKeys = queryBytes(raw);
    else if (name === 'replay') {
      // Only a file beside the page, never a path or another site.
      if (/^[A-Za-z0-9_-][A-Za-z0-9_.-]{0,63}$/.test(value)) replayName = value;
      args.push('--replay', '/replay/' + (replayName || 'not-a-file-name'));
    }
    // Any other parameter (a link's tracking tag) is none of the game's business.
  }
  // Without a size (and without a demo, which brings its own) the picture takes the room
  // the page has beside or under the console, in CSS pixels, as the desktop's picture
  // takes its window's: the battle needs about 540 rows, so the console goes beside the
  // picture when under it would leave fewer.
  if (!args.includes('--size') && !replayName) {
    const paneW = 640, paneH = 320; // 80 x 20 cells of 8 x 16
    const roomW = Math.floor(window.innerWidth), roomH = Math.floor(window.innerHeight);
    const under = roomH - paneH >= BATTLE_ROWS || roomW - paneW < MIN_PICTURE_W;
    let w = under ? roomW : roomW - paneW, h = under ? roomH - paneH : roomH;
    w = Math.min(8192, Math.max(MIN_PICTURE_W, w));
    h = Math.min(8192, Math.max(BATTLE_ROWS, h));
    args.push('--size', w + 'x' + h);
  }
  // Fetched at once, beside the program's own download.
  const replayBytes = replayName
    ? fetch(encodeURIComponent(replayName))
        .then((r) => (r.ok ? r.arrayBuffer() : null))
        .catch(() => null)
    : null;

  // ---- The picture and the console ----
  const canvases = {};
  function canvas(which) {
    if (!canvases[which]) {
      const el = $(which);
      canvases[which] = { el, ctx: el.getContext('2d', { alpha: false }), image: null };
    }
    return canvases[which];
  }

  function putImage(which, buffer, ptr, width, height, x, y, w, h) {
    const c = canvas(which);
    if (c.el.width !== width || c.el.height !== height) {
      c.el.width = width;
      c.el.height = height;
      if (which === 'console') layOut();
    }
    // The view is made anew when memory has grown (a new buffer) or the pixels moved.
    if (!c.image || c.image.data.buffer !== buffer || c.image.data.byteOffset !== ptr ||
        c.image.width !== width || c.image.height !== height) {
      c.image = new ImageData(new Uint8ClampedArray(buffer, ptr, width * height * 4), width, height);
    }
    c.ctx.putImageData(c.image, 0, 0, x, y, w, h);
  }

  // Where a picture shows in an area, in device pixels: the program's own rule (whole
  // factors where they fit, never cropped).
  function fit(pw, ph, aw, ah) {
    if (!runtimeReady) return { w: Math.min(pw, aw), h: Math.min(ph, ah) };
    const at = Module._gs_fit_picture(pw, ph, Math.floor(aw), Math.floor(ah)) >> 2;
    return { w: Module.HEAP32[at + 2], h: Module.HEAP32[at + 3] };
  }

  // The game's picture size, and the size its canvas is painted at: the picture's own
  // when the page enlarges it (by whole device pixels, see the style), the shown size when
  // it must shrink, since then the program's own rule keeps every one-pixel line.
  const pictureSize = { w: 640, h: 480 };
  const pictureCanvas = { w: 640, h: 480 };

  function layOut() {
    const picture = { width: pictureSize.w, height: pictureSize.h }, pane = $('console');
    const dpr = window.devicePixelRatio || 1;
    const roomW = window.innerWidth * dpr, roomH = window.innerHeight * dpr;
    // The console at its own size (a whole factor of the screen's pixel ratio) where it
    // fits, smaller only where it must be.
    const k = Math.max(1, Math.floor(dpr));
    const p = fit(pane.width, pane.height, Math.min(roomW, pane.width * k),
                  Math.min(roomH / 2, pane.height * k));
    const beside = fit(picture.width, picture.height, roomW - p.w, roomH);
    const below = fit(picture.width, picture.height, roomW, roomH - p.h);
    const stacked = below.w * below.h > beside.w * beside.h;
    const shown = stacked ? below : beside;
    $('game').classList.toggle('stacked', stacked);
    for (const [el, s] of [[$('picture'), shown], [pane, p]]) {
      el.style.width = s.w / dpr + 'px';
      el.style.height = s.h / dpr + 'px';
    }
    $('picture').dataset.shown = shown.w + 'x' + shown.h;
    const shrunk = shown.w < picture.width || shown.h < picture.height;
    const w = shrunk ? shown.w : picture.width, h = shrunk ? shown.h : picture.height;
    if (w !== pictureCanvas.w || h !== pictureCanvas.h) {
      pictureCanvas.w = w;
      pictureCanvas.h = h;
      keys.relayout();
    }
  }
  window.addEventListener('resize', layOut);

  // The console's plain text, one element per line; the last one is still being written.
  let line = null;
  function addText(text) {
    const log = $('console-text');
    const parts = text.split('\n');
    parts.forEach((part, i) => {
      if (i > 0 || !line) {
        line = document.createElement('div');
        log.appendChild(line);
        if (log.childElementCount > MAX_LINES) log.firstElementChild.remove();
      }
      if (part) line.textContent += part;
    });
    if (window.gsFirstTextMs === undefined && text.trim() !== '')
      window.gsFirstTextMs = performance.now();
  }

  function say(text) {
    const status = $('status');
    status.textContent += (status.textContent ? '\n' : '') + text;
  }

  let runtimeReady = false;
  return {
    arguments: args,
    gsSound: sound,
    gsPage: {
      keys,
      pausedMs: 0, // the game's pauses so far, in milliseconds
      putImage,
      addText,
      pictureCanvas,
      // A new picture: the page lays itself out for it before it is painted.
      setPictureSize(w, h) {
        pictureSize.w = w;
        pictureSize.h = h;
        layOut();
      },
      finished(status) {
        document.body.dataset.exit = String(status);
        say(status === 0 ? 'The game has ended.' : 'The game ended with status ' + status + '.');
      },
    },
    print: (text) => say(text),
    printErr: (text) => say(text),
    onAbort: (what) => {
      document.body.dataset.abort = String(what);
      say('The game stopped: ' + what);
    },
    onRuntimeInitialized() {
      runtimeReady = true;
      layOut();
    },
    preRun: [
      function () {
        if (startKeys) Module.FS.writeFile('/start-keys', startKeys);
        if (!replayBytes) return;
        Module.addRunDependency('replay');
        replayBytes.then((bytes) => {
          Module.FS.mkdir('/replay');
          // A demo that could not be fetched is left out: the program says so.
          if (bytes) Module.FS.writeFile('/replay/' + replayName, new Uint8Array(bytes));
          Module.removeRunDependency('replay');
        });
      },
    ],
  };
})();
