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
  // The console's cells are never shown lower than this many CSS pixels.
  const MIN_CELL_CSS_H = 12;
  // What a key wait returns when the page's layout changed (the program's RELAID_OUT).
  const RELAID_OUT = -2;
  // A screen narrower or lower than this (CSS pixels) has no room for the 80 x 20 console
  // (640 x 320) and a picture: the page takes its narrow layout.
  const NARROW_W = 640, NARROW_H = 480;
  // In the narrow portrait layout the transcript keeps this many CSS pixels (eight lines).
  const TEXT_ROOM = 170;

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

  // What the key of this name (KeyboardEvent.key) gives the game.
  function codesOf(key) {
    if (key in keys.named) return [keys.named[key]];
    // A typed character: its UTF-8 bytes, one key each, as the window's text input gives.
    if ([...key].length === 1) return [...utf8.encode(key)];
    return null; // Shift, Dead and the keys the game has no use for
  }

  function keyCodes(e) {
    // A phone's keyboard composing text (key code 229): its text arrives as the input's
    // changes instead (see the phone's keyboard below).
    if (e.isComposing || e.keyCode === 229) return null;
    // Shortcuts stay the browser's; AltGr (Ctrl+Alt on some systems) types characters.
    if ((e.ctrlKey || e.altKey || e.metaKey) && !e.getModifierState('AltGraph')) return null;
    return codesOf(e.key);
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

  // ---- Touch screens: the keypad and the phone's own keyboard ----
  // A keypad key types what the keyboard's key of the same name types, through the same
  // path: the game, a recording and the address's keys cannot tell a tap from a key.
  function pressKey(name) {
    for (const c of codesOf(name) || []) keys.push(c);
  }
  const keypad = $('keypad'), typing = $('typing');
  // Tapping a key leaves the focus where it was, so that an open phone keyboard stays.
  keypad.addEventListener('mousedown', (e) => e.preventDefault());
  keypad.addEventListener('click', (e) => {
    const button = e.target.closest('button');
    if (!button) return;
    if (button.id === 'show-keyboard') {
      if (document.activeElement === typing) typing.blur();
      else typing.focus({ preventScroll: true });
    } else if (button.dataset.key !== undefined) {
      pressKey(button.dataset.key);
    }
  });
  const showKeyboard = () => { if (document.body.classList.contains('touch')) typing.focus({ preventScroll: true }); };
  $('transcript').addEventListener('click', showKeyboard);
  $('console').addEventListener('click', showKeyboard);
  for (const [event, pressed] of [['focus', 'true'], ['blur', 'false']])
    typing.addEventListener(event, () => $('show-keyboard').setAttribute('aria-pressed', pressed));

  // Keys that have a name reach the game through keydown (above), which keeps them out of
  // the input. What a phone's keyboard types (composed words, autocorrection, key code
  // 229) only changes the input's text: the change goes to the game as the keys that make
  // it, Backspaces for what went and the bytes of what came.
  let typed = '', composing = false;
  typing.addEventListener('compositionstart', () => { composing = true; });
  typing.addEventListener('compositionend', () => { composing = false; });
  typing.addEventListener('input', () => {
    const now = typing.value;
    let same = 0;
    while (same < typed.length && same < now.length && typed[same] === now[same]) ++same;
    if (same > 0 && /[\uD800-\uDBFF]/.test(typed[same - 1])) --same; // not half a character
    for (let gone = [...typed.slice(same)].length; gone > 0; --gone) pressKey('Backspace');
    for (const c of utf8.encode(now.slice(same))) keys.push(c);
    typed = now;
  });
  // An answer given, the input starts empty again (never in the middle of a word).
  typing.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' && !composing) typing.value = typed = '';
  });

  // The keypad shows on a touch screen (?keypad=1 or 0 overrides).
  const coarse = window.matchMedia('(pointer: coarse)');
  let keypadWanted = null;
  function showKeypad() {
    const on = keypadWanted === null ? coarse.matches : keypadWanted;
    document.body.classList.toggle('touch', on);
  }
  coarse.addEventListener('change', () => { showKeypad(); layOut(); });
  // The room the picture and the console have: the window's, less the keypad's.
  function gameRoom() {
    const game = $('game');
    return { w: game.clientWidth, h: game.clientHeight };
  }

  // ---- The address: ?seed=N&fast=1&size=WxH&keys=TEXT&replay=NAME&continue=1 ----
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
    else if (name === 'continue') { if (value !== '0') args.push('--continue'); }
    else if (name === 'size') args.push('--size', value);
    else if (name === 'sound') args.push('--sound', value === '0' ? 'off' : value === '1' ? 'on' : value);
    else if (name === 'keys') startKeys = queryBytes(raw);
    else if (name === 'replay') {
      // Only a file beside the page, never a path or another site.
      if (/^[A-Za-z0-9_-][A-Za-z0-9_.-]{0,63}$/.test(value)) replayName = value;
      args.push('--replay', '/replay/' + (replayName || 'not-a-file-name'));
    }
    else if (name === 'keypad') keypadWanted = value !== '0';
    // Any other parameter (a link's tracking tag) is none of the game's business.
  }
  showKeypad();
  // Without a size (and without a demo, which brings its own) the page chooses each
  // battle's picture as the battle opens it: see choosePicture.
  const chooseSize = !args.includes('--size') && !replayName;
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

  // ---- The page's layout, in device pixels ----
  // The console goes beside the picture or below it, whichever shows the battlefield
  // larger; the picture is the program's choice for its area (the whole battle, at a
  // whole factor where it fits, shrunk and never cut where it does not). The console's
  // cells are a whole factor of 8 x 16 device pixels no lower than MIN_CELL_CSS_H CSS
  // pixels; the console takes at most half the height while its cells stay that high,
  // and is lower only on a screen narrower than it.
  function room() {
    const dpr = window.devicePixelRatio || 1;
    return { dpr, w: Math.floor(gameRoom().w * dpr), h: Math.floor(gameRoom().h * dpr) };
  }
  function consoleShown(r, pane) {
    const k = Math.max(1, Math.floor(r.dpr), Math.ceil(r.dpr * MIN_CELL_CSS_H / 16));
    const lowest = Math.ceil(pane.height / 16 * MIN_CELL_CSS_H * r.dpr);
    const boxH = Math.min(r.h, Math.max(lowest, Math.min(r.h / 2, pane.height * k)));
    // Shrunk from k as little as the box asks, not down to the next whole factor.
    const f = Math.min(k, r.w / pane.width, boxH / pane.height);
    return { w: Math.floor(pane.width * f), h: Math.floor(pane.height * f) };
  }
  // The two places of the console: the picture's area for each.
  function areas(r, p) {
    return [
      { stacked: true, w: r.w, h: Math.max(0, r.h - p.h) },
      { stacked: false, w: Math.max(0, r.w - p.w), h: r.h },
    ];
  }
  // Of two showings, the one with the battlefield larger (then the one that fills more).
  function larger(a, b) {
    const ma = a.shown.w / a.picture.w, mb = b.shown.w / b.picture.w;
    if (ma !== mb) return ma > mb ? a : b;
    return a.shown.w * a.shown.h >= b.shown.w * b.shown.h ? a : b;
  }
  // The picture's size when the address names none: the program's choice for the area
  // that shows the battlefield largest.
  // The program's picture for an area of the page, in device pixels.
  function programsPicture(w, h) {
    const at = Module._gs_choose_picture(w, h) >> 2;
    return { w: Module.HEAP32[at], h: Module.HEAP32[at + 1] };
  }
  function choosePicture() {
    // On a narrow screen the picture's area is what the transcript and the keypad leave.
    // Its width binds there: rows below the battle's own would only be empty panel, so the
    // picture keeps the battle's shape and the rest of the height goes to the transcript.
    const narrow = narrowPictureArea();
    if (narrow) {
      const dpr = window.devicePixelRatio || 1;
      const battle = programsPicture(1, 1); // the least picture: the whole battlefield
      const w = Math.floor(narrow.w * dpr);
      const h = Math.min(Math.floor(narrow.h * dpr), Math.ceil(w * battle.h / battle.w));
      return programsPicture(w, h);
    }
    const r = room();
    const best = areas(r, consoleShown(r, $('console'))).map((a) => {
      const picture = programsPicture(a.w, a.h);
      return { picture, shown: fit(picture.w, picture.h, a.w, a.h) };
    }).reduce(larger);
    return best.picture;
  }

  function layOut() {
    if (layOutNarrow(false)) return;
    const picture = { w: pictureSize.w, h: pictureSize.h }, pane = $('console');
    const r = room();
    const p = consoleShown(r, pane);
    const best = areas(r, p).map((a) =>
      ({ stacked: a.stacked, picture, shown: fit(picture.w, picture.h, a.w, a.h) })).reduce(larger);
    const { shown, stacked } = best;
    $('game').classList.toggle('stacked', stacked);
    for (const [el, s] of [[$('picture'), shown], [pane, p]]) {
      el.style.width = s.w / r.dpr + 'px';
      el.style.height = s.h / r.dpr + 'px';
    }
    $('picture').dataset.shown = shown.w + 'x' + shown.h;
    paintAtSize(shown, picture);
    if (consoleUnreadable()) layOutNarrow(true);
  }
  // The picture's canvas: the picture itself where it is shown enlarged (the page enlarges
  // it), its shrunk showing where it must shrink (the program paints that, keeping the
  // one-pixel lines); a new canvas size wakes a key wait to paint it anew.
  function paintAtSize(shown, picture) {
    const shrunk = shown.w < picture.w || shown.h < picture.h;
    const w = shrunk ? shown.w : picture.w, h = shrunk ? shown.h : picture.h;
    if (w !== pictureCanvas.w || h !== pictureCanvas.h) {
      pictureCanvas.w = w;
      pictureCanvas.h = h;
      keys.relayout();
    }
  }
  window.addEventListener('resize', layOut);

  // ---- The narrow layout (a phone, either way up) ----
  // Where the 80 x 20 console (640 x 320 CSS pixels) leaves a picture no room, the console
  // is shown as its transcript (#console-text) at a readable size, following the newest
  // line; the picture goes above it (portrait) or beside it (landscape), whole, and the
  // keypad (on a touch screen) under the console. The page never scrolls.
  function isNarrow() { return window.innerWidth < NARROW_W || window.innerHeight < NARROW_H; }

  // On a touch screen (which has no window to enlarge) a console left with text under 14
  // CSS pixels high has no room either.
  function consoleUnreadable() {
    return document.body.classList.contains('touch') &&
      $('console').getBoundingClientRect().height < 20 * 14 - 0.5;
  }

  // Sets the narrow layout's classes; the picture's area in CSS pixels, or null when the
  // screen is not narrow (nor `forced`).
  function narrowPictureArea(forced = false) {
    const body = document.body, narrow = forced || isNarrow();
    const landscape = narrow && window.innerWidth > window.innerHeight;
    body.classList.toggle('narrow', narrow);
    body.classList.toggle('landscape', landscape);
    if (!narrow) return null;
    if (landscape)
      return { w: window.innerWidth - $('transcript').getBoundingClientRect().width, h: window.innerHeight };
    return { w: window.innerWidth, h: Math.max(1, window.innerHeight - keypad.offsetHeight - TEXT_ROOM) };
  }

  // The narrow layout's step of layOut: false when the screen is not narrow (nor `forced`).
  function layOutNarrow(forced) {
    const area = narrowPictureArea(forced);
    if (!area) return false;
    // Fitted in CSS pixels: a phone's screen has several device pixels to each, so the
    // picture fills its room, enlarged by the screen's own whole factor, and when it must
    // shrink, the program's rule does it in CSS pixels, keeping its one-pixel lines.
    const dpr = window.devicePixelRatio || 1;
    const shown = fit(pictureSize.w, pictureSize.h, area.w, area.h);
    $('game').classList.toggle('stacked', !document.body.classList.contains('landscape'));
    const el = $('picture');
    el.style.width = shown.w + 'px';
    el.style.height = shown.h + 'px';
    el.dataset.shown = Math.round(shown.w * dpr) + 'x' + Math.round(shown.h * dpr);
    paintAtSize(shown, pictureSize);
    followText();
    return true;
  }

  // The transcript shows its newest line (the question and the answer being typed) once
  // the page has drawn what came.
  let following = false;
  function followText() {
    if (following || !document.body.classList.contains('narrow')) return;
    following = true;
    requestAnimationFrame(() => {
      following = false;
      const box = $('transcript');
      box.scrollTop = box.scrollHeight;
    });
  }

  // The answer being typed: the transcript has a typed line only once Enter takes it, so
  // the program hands the page the line as the console edits it (recalled answers too), and
  // the narrow layout shows it under the transcript.
  const answer = { text: '', at: 0 };
  function setAnswer(text, at) {
    answer.text = text;
    answer.at = at;
    const el = $('answer'), chars = [...text];
    const cursor = document.createElement('span');
    cursor.className = 'cursor';
    cursor.textContent = at < chars.length ? chars[at] : ' ';
    el.replaceChildren(chars.slice(0, at).join(''), cursor, chars.slice(at + 1).join(''));
    followText();
  }

  // The console's plain text, one element per line; the last one is still being written.
  let line = null;
  function addText(text) {
    const log = $('console-text');
    const parts = text.split('\n');
    if (line && parts[0]) line.textContent += parts[0];
    // A long run of output (thousands of answers typed from the address) becomes at most
    // MAX_LINES new lines, made apart from the page and put on it at once.
    const fresh = document.createDocumentFragment();
    const first = Math.max(line ? 1 : 0, parts.length - MAX_LINES);
    for (let i = first; i < parts.length; ++i) {
      line = document.createElement('div');
      if (parts[i]) line.textContent = parts[i];
      fresh.appendChild(line);
    }
    const excess = log.childElementCount + fresh.childElementCount - MAX_LINES;
    if (excess >= log.childElementCount) log.replaceChildren();
    else if (excess > 0) {
      const old = document.createRange();
      old.setStartBefore(log.firstElementChild);
      old.setEndAfter(log.children[excess - 1]);
      old.deleteContents();
    }
    log.appendChild(fresh);
    followText();
    if (window.gsFirstTextMs === undefined && text.trim() !== '') {
      window.gsFirstTextMs = performance.now();
      setTimeout(keepOffline, 0);
    }
  }

  // ---- Offline ----
  // The site's service worker keeps its files, so that the game opens without a network
  // after one visit. Registered once the first menu shows: it takes nothing from the
  // start, and the program's files are all loaded by then, so a new version taking over
  // cannot mix its files with this page's. A site without one (or a file: page) simply
  // stays online, and without a network the check for a new version fails quietly.
  function keepOffline() {
    if (!('serviceWorker' in navigator) || !/^https?:$/.test(location.protocol)) return;
    // A kept page asks for the site's new version itself, at once: the new version's
    // files are in place for the next visit.
    navigator.serviceWorker.register('service-worker.js').then((r) => r.update()).catch(() => {});
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
      setAnswer,
      pictureCanvas,
      // A new picture: the page lays itself out for it before it is painted.
      // Each battle's picture, when the address names no size: the program asks as the
      // battle opens it, so that a phone turned between battles gets the new shape.
      choosePicture: () => (chooseSize ? choosePicture() : null),
      picture: pictureSize,
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
