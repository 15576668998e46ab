// Drives Debian's chromium headless for the browser tests, with nothing but
// Node's standard library: a static file server over a folder, and the
// DevTools protocol over --remote-debugging-pipe (JSON messages ended by a
// NUL on file descriptors 3 and 4). The pipe needs no port, no WebSocket and
// no waiting for an endpoint to come up, and chromium quits when the pipe
// closes, so a test killed outright does not leave a browser behind.
//
//   const server = await serve('build/web');
//   await withBrowser({ width: 640, height: 480 }, async (browser) => {
//     const page = await browser.newPage();
//     await page.goto(server.url + 'index.html');
//     await page.press('ArrowRight');
//     const png = await page.screenshot();
//   });
//   await server.close();

import { spawn } from 'node:child_process';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import fs from 'node:fs/promises';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { inflateSync } from 'node:zlib';

// --- the static file server ---------------------------------------------------

const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm', // what instantiateStreaming insists on
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.png': 'image/png',
  '.ogg': 'audio/ogg',
  '.txt': 'text/plain; charset=utf-8',
};

// A test script's checks, each printed as ok or FAILED, and a watchdog that
// fails the script well inside CTest's timeout, so that its exit handlers
// still run. finish() stops the watchdog and gives the count that failed.
export function checks(what, limitMs) {
  let failed = 0;
  const watchdog = setTimeout(() => {
    console.log(`FAILED: ${what} took more than ${limitMs / 1000} s`);
    process.exit(1);
  }, limitMs);
  return {
    check(name, ok, detail = '') {
      console.log(`${ok ? 'ok    ' : 'FAILED'} ${name}${!ok && detail ? `\n  ${detail}` : ''}`);
      if (!ok) failed++;
    },
    finish() {
      clearTimeout(watchdog);
      return failed;
    },
  };
}

// Serves ROOT on 127.0.0.1 at a free port, as any plain web server would: a
// content type and nothing else (no cross-origin isolation headers, so a
// page gets no shared memory, as on an ordinary host). `types` replaces
// the content types of some extensions. Resolves to { url, port, close() },
// url ending with '/'; setting its `root` serves another folder at the same
// address.
export async function serve(root, types = {}) {
  let base = path.resolve(root);
  const server = http.createServer(async (req, res) => {
    try {
      const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
      let file = path.join(base, name);
      if (file !== base && !file.startsWith(base + path.sep)) throw new Error('outside');
      if ((await fs.stat(file)).isDirectory()) file = path.join(file, 'index.html');
      const body = await fs.readFile(file);
      res.writeHead(200, {
        'Content-Type': types[path.extname(file)] || contentTypes[path.extname(file)] || 'application/octet-stream',
        'Content-Length': body.length,
      });
      res.end(req.method === 'HEAD' ? undefined : body);
    } catch {
      res.writeHead(404, { 'Content-Type': 'text/plain' });
      res.end('not found\n');
    }
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });
  const { port } = server.address();
  return {
    url: `http://127.0.0.1:${port}/`,
    port,
    set root(dir) {
      base = path.resolve(dir);
    },
    close: () =>
      new Promise((resolve) => {
        server.closeAllConnections?.();
        server.close(() => resolve());
      }),
  };
}

// --- keys ----------------------------------------------------------------------

// Keys by name: DOM code, Windows virtual-key code, and where they differ
// from the name, the text typed, the DOM key and the key with Shift.
const namedKeys = {
  ArrowLeft: ['ArrowLeft', 37],
  ArrowUp: ['ArrowUp', 38],
  ArrowRight: ['ArrowRight', 39],
  ArrowDown: ['ArrowDown', 40],
  Escape: ['Escape', 27],
  Enter: ['Enter', 13, '\r'],
  Tab: ['Tab', 9],
  Backspace: ['Backspace', 8],
  Space: ['Space', 32, ' ', ' '],
  Shift: ['ShiftLeft', 16],
  Control: ['ControlLeft', 17],
  Alt: ['AltLeft', 18],
  Slash: ['Slash', 191, '/', '/', '?'],
};
for (let i = 1; i <= 12; i++) namedKeys['F' + i] = ['F' + i, 111 + i];

// What a real keyboard sends for a key: DOM `key` and `code`, the Windows
// virtual-key code, and the text typed, if any.
function keyInfo(name, shift) {
  if (namedKeys[name]) {
    const [code, vk, text, key = name, shifted] = namedKeys[name];
    const k = shift && shifted ? shifted : key;
    return { code, key: k, windowsVirtualKeyCode: vk, text: shift && shifted ? shifted : text };
  }
  if (/^[a-zA-Z]$/.test(name)) {
    const key = shift ? name.toUpperCase() : name.toLowerCase();
    return { code: 'Key' + name.toUpperCase(), key, windowsVirtualKeyCode: name.toUpperCase().charCodeAt(0), text: key };
  }
  if (/^[0-9]$/.test(name)) {
    return { code: 'Digit' + name, key: name, windowsVirtualKeyCode: name.charCodeAt(0), text: name };
  }
  throw new Error(`unknown key ${name}`);
}

const modifierBits = { Alt: 1, Control: 2, Meta: 4, Shift: 8 };

// "Alt+Shift+Slash" -> modifier bits and the key.
function parseChord(chord) {
  const parts = chord.split('+');
  const name = parts.pop();
  let modifiers = 0;
  for (const m of parts) {
    if (!(m in modifierBits)) throw new Error(`unknown modifier ${m} in ${chord}`);
    modifiers |= modifierBits[m];
  }
  return { name, modifiers };
}

// --- the browser -----------------------------------------------------------------

// The chromium binary itself when Debian's is installed (its /usr/bin
// wrapper adds extensions and GPU flags a test does not want); ZT_CHROMIUM
// overrides.
export function findChromium() {
  if (process.env.ZT_CHROMIUM) return process.env.ZT_CHROMIUM;
  for (const candidate of ['/usr/lib/chromium/chromium', '/usr/bin/chromium']) {
    if (existsSync(candidate)) return candidate;
  }
  return null;
}

// The pids of the processes in a process group that are still running
// (killed ones may stay zombies until init reaps them).
export function liveProcessesInGroup(group) {
  const live = [];
  for (const pid of readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    let stat;
    try {
      stat = readFileSync(`/proc/${pid}/stat`, 'latin1');
    } catch {
      continue; // ended meanwhile
    }
    // After "pid (name) ": state, parent, group.
    const [state, , pgrp] = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    if (Number(pgrp) === group && state !== 'Z') live.push(Number(pid));
  }
  return live;
}

// A DevTools protocol error or a timeout, with the method that failed.
class ProtocolError extends Error {}

export class Browser {
  // launch({ width, height, timeout, args }): chromium headless in a window
  // of width x height, with a fresh profile. `timeout` (ms, default 30000)
  // bounds every protocol call; `args` are extra command-line flags.
  static async launch({ width = 800, height = 600, timeout = 30000, args = [] } = {}) {
    const binary = findChromium();
    if (!binary) throw new Error('chromium is not installed (scripts/install-deps web)');
    const profile = await fs.mkdtemp(path.join(os.tmpdir(), 'zt-chromium-'));
    const flags = [
      '--headless',
      // WebGL without a GPU.
      '--use-angle=swiftshader',
      '--enable-unsafe-swiftshader',
      // Root (as in CI containers) cannot use the sandbox.
      ...(process.getuid?.() === 0 ? ['--no-sandbox'] : []),
      // Nothing from the network: no updates, syncing or first-run pages.
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
      '--no-default-browser-check',
      '--disable-quic',
      '--mute-audio',
      '--hide-scrollbars',
      `--user-data-dir=${profile}`,
      `--window-size=${width},${height}`,
      '--remote-debugging-pipe',
      ...args,
      'about:blank',
    ];
    // Its own process group, so that closing ends its helper processes too.
    const child = spawn(binary, flags, {
      stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'],
      detached: true,
    });
    const browser = new Browser(child, profile, timeout);
    browser.width = width;
    browser.height = height;
    try {
      await browser.send('Target.setDiscoverTargets', { discover: true });
    } catch (e) {
      await browser.close();
      throw new Error(`chromium did not start: ${e.message}\n${browser.stderrTail()}`);
    }
    return browser;
  }

  constructor(child, profile, timeout) {
    this.child = child;
    this.profile = profile;
    this.timeout = timeout;
    this.nextId = 1;
    this.pending = new Map();
    this.sessions = new Map();
    this.stderr = '';
    this.exited = new Promise((resolve) => child.once('exit', resolve));
    this.closed = false;
    // A test that dies anyway still takes the browser with it.
    this.killOnExit = () => this.kill();
    process.once('exit', this.killOnExit);

    child.stderr.setEncoding('utf8');
    child.stderr.on('data', (s) => {
      this.stderr = (this.stderr + s).slice(-8000);
    });
    this.input = child.stdio[3];
    this.input.on('error', () => {}); // a browser that died; the reads say so
    // A message may come in many pieces (a screenshot does): only the new
    // piece is searched for the end.
    let pieces = [];
    const output = child.stdio[4];
    output.setEncoding('utf8');
    output.on('data', (s) => {
      let start = 0;
      let end;
      while ((end = s.indexOf('\0', start)) >= 0) {
        pieces.push(s.slice(start, end));
        this.dispatch(JSON.parse(pieces.join('')));
        pieces = [];
        start = end + 1;
      }
      pieces.push(s.slice(start));
    });
    child.once('exit', (code, signal) => {
      for (const { reject, method, timer } of this.pending.values()) {
        clearTimeout(timer);
        reject(new ProtocolError(`${method}: chromium exited (${signal || code})`));
      }
      this.pending.clear();
    });
  }

  stderrTail() {
    return this.stderr.trim().split('\n').slice(-20).join('\n');
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const call = this.pending.get(message.id);
      if (!call) return;
      this.pending.delete(message.id);
      clearTimeout(call.timer);
      if (message.error) call.reject(new ProtocolError(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
      return;
    }
    const page = message.sessionId && this.sessions.get(message.sessionId);
    if (page) page.onEvent(message.method, message.params);
  }

  // One protocol call; `sessionId` addresses a page.
  send(method, params = {}, sessionId = undefined) {
    if (this.closed || this.child.exitCode !== null || this.child.signalCode !== null) {
      return Promise.reject(new ProtocolError(`${method}: the browser is closed`));
    }
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.pending.delete(id);
        reject(new ProtocolError(`${method}: no answer in ${this.timeout} ms`));
      }, this.timeout);
      this.pending.set(id, { resolve, reject, method, timer });
      this.input.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    });
  }

  // A tab with a viewport of the launch's size, attached, with its console,
  // exceptions and page events on: first the blank one chromium starts
  // with, then new ones.
  async newPage() {
    const { targetInfos } = await this.send('Target.getTargets');
    const blank = targetInfos.find((t) => t.type === 'page' && !t.attached && t.url === 'about:blank');
    const { targetId } = blank || (await this.send('Target.createTarget', { url: 'about:blank' }));
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, targetId, sessionId);
    this.sessions.set(sessionId, page);
    await Promise.all([page.send('Page.enable'), page.send('Runtime.enable'), page.send('Log.enable')]);
    await page.setViewport(this.width, this.height);
    return page;
  }

  // The whole process group, at once; for exits that cannot wait.
  kill() {
    try {
      process.kill(-this.child.pid, 'SIGKILL');
    } catch {
      // already gone
    }
  }

  // Ends chromium and its helpers, and removes its profile. Killed outright:
  // a throwaway profile has nothing to save, and a polite quit takes
  // seconds on a busy machine.
  async close() {
    if (this.closed) return;
    this.closed = true;
    this.kill();
    await this.exited;
    // SIGKILL takes effect when each process next runs, which on a busy
    // machine can be a while.
    for (let i = 0; i < 100 && liveProcessesInGroup(this.child.pid).length; i++) {
      await new Promise((r) => setTimeout(r, 20));
    }
    process.removeListener('exit', this.killOnExit);
    this.input.destroy();
    this.child.stdio[4].destroy();
    this.child.stderr.destroy();
    await fs.rm(this.profile, { recursive: true, force: true });
  }
}

// Runs fn(browser) and closes the browser whatever happens.
export async function withBrowser(options, fn) {
  const browser = await Browser.launch(options);
  try {
    return await fn(browser);
  } finally {
    await browser.close();
  }
}

// --- a page ------------------------------------------------------------------------

export class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    // { type, text } for each console call and log entry (type 'error' for
    // console.error and failed loads).
    this.console = [];
    // The text of each uncaught exception and unhandled rejection.
    this.errors = [];
    this.waiters = [];
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  onEvent(method, params) {
    if (method === 'Runtime.consoleAPICalled') {
      const text = params.args.map((a) => ('value' in a ? String(a.value) : a.description || a.type)).join(' ');
      this.console.push({ type: params.type, text });
    } else if (method === 'Log.entryAdded') {
      this.console.push({ type: params.entry.level, text: params.entry.text });
    } else if (method === 'Runtime.exceptionThrown') {
      const d = params.exceptionDetails;
      this.errors.push(d.exception?.description || d.text);
    }
    const waiting = this.waiters.filter((w) => w.method === method);
    this.waiters = this.waiters.filter((w) => w.method !== method);
    for (const w of waiting) w.resolve(params);
  }

  waitForEvent(method, timeout = this.browser.timeout) {
    return new Promise((resolve, reject) => {
      const waiter = { method, resolve: (p) => (clearTimeout(timer), resolve(p)) };
      const timer = setTimeout(() => {
        this.waiters = this.waiters.filter((w) => w !== waiter);
        reject(new ProtocolError(`no ${method} in ${timeout} ms`));
      }, timeout);
      this.waiters.push(waiter);
    });
  }

  // Script that runs in every document this page loads, before the page's
  // own scripts.
  addInitScript(source) {
    return this.send('Page.addScriptToEvaluateOnNewDocument', { source });
  }

  // navigator.getGamepads() returns the pads in window.__testGamepads, an
  // array the test fills through evaluate(); fakeGamepad(index, id) makes a
  // standard-mapped pad with 17 released buttons and 4 centred axes there
  // and fires gamepadconnected. Call before goto().
  fakeGamepads() {
    return this.addInitScript(`(() => {
      const pads = (window.__testGamepads = []);
      Object.defineProperty(Navigator.prototype, 'getGamepads', {
        configurable: true,
        value: () => [0, 1, 2, 3].map((i) => pads[i] || null),
      });
      window.fakeGamepad = (index, id) => {
        const pad = { id, index, connected: true, mapping: 'standard', timestamp: performance.now(),
          buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
          axes: [0, 0, 0, 0] };
        pads[index] = pad;
        const event = new Event('gamepadconnected');
        event.gamepad = pad;
        window.dispatchEvent(event);
        return pad;
      };
    })();`);
  }

  // Loads url and waits for its load event.
  async goto(url) {
    const loaded = this.waitForEvent('Page.loadEventFired');
    const { errorText } = await this.send('Page.navigate', { url });
    if (errorText) throw new Error(`${url}: ${errorText}`);
    await loaded;
  }

  // The value of an expression, or of fn(...args) for a function; promises
  // are awaited; the result comes back as JSON. A thrown error rejects.
  async evaluate(fn, ...args) {
    const expression = typeof fn === 'function' ? `(${fn})(...${JSON.stringify(args)})` : fn;
    const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
      expression,
      awaitPromise: true,
      returnByValue: true,
    });
    if (exceptionDetails) {
      throw new Error(`evaluate: ${exceptionDetails.exception?.description || exceptionDetails.text}`);
    }
    return result.value;
  }

  // Evaluates until the value is truthy; returns it.
  async waitFor(fn, { timeout = this.browser.timeout, interval = 50 } = {}, ...args) {
    const deadline = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, ...args);
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`waitFor: still false after ${timeout} ms: ${fn}`);
      await new Promise((r) => setTimeout(r, interval));
    }
  }

  // Key down / up as a keyboard sends them; chord as 'ArrowRight', 'd',
  // 'Alt+Slash', 'Shift+Slash' ('?'), 'Alt+Enter', 'F11'.
  async keyDown(chord) {
    const { name, modifiers } = parseChord(chord);
    const k = keyInfo(name, (modifiers & modifierBits.Shift) !== 0);
    // No text with Alt or Control held: those keys type nothing.
    const text = modifiers & (modifierBits.Alt | modifierBits.Control) ? undefined : k.text;
    await this.send('Input.dispatchKeyEvent', {
      type: text ? 'keyDown' : 'rawKeyDown',
      modifiers,
      key: k.key,
      code: k.code,
      windowsVirtualKeyCode: k.windowsVirtualKeyCode,
      ...(text ? { text, unmodifiedText: text } : {}),
    });
  }

  async keyUp(chord) {
    const { name, modifiers } = parseChord(chord);
    const k = keyInfo(name, (modifiers & modifierBits.Shift) !== 0);
    await this.send('Input.dispatchKeyEvent', {
      type: 'keyUp',
      modifiers,
      key: k.key,
      code: k.code,
      windowsVirtualKeyCode: k.windowsVirtualKeyCode,
    });
  }

  async press(chord) {
    await this.keyDown(chord);
    await this.keyUp(chord);
  }

  // type: 'mouseMoved', 'mousePressed' or 'mouseReleased', at viewport x, y.
  mouse(type, x, y, button = 'left') {
    const pressed = type === 'mousePressed';
    return this.send('Input.dispatchMouseEvent', {
      type,
      x,
      y,
      button: type === 'mouseMoved' ? 'none' : button,
      buttons: pressed ? 1 : 0,
      clickCount: type === 'mouseMoved' ? 0 : 1,
    });
  }

  async click(x, y) {
    await this.mouse('mouseMoved', x, y);
    await this.mouse('mousePressed', x, y);
    await this.mouse('mouseReleased', x, y);
  }

  // The viewport as a PNG (a Buffer).
  async screenshot() {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    return Buffer.from(data, 'base64');
  }

  // The pixels of the canvas matching selector as { width, height, rgba }
  // (a Buffer, top row first), copied through a 2D canvas in the next
  // animation frame, after the page's own frame callback has drawn: a WebGL
  // canvas without preserveDrawingBuffer is blank once its frame has been
  // shown, so this suits a page that draws every frame, as a game does.
  async canvasPixels(selector) {
    const { width, height, data } = await this.evaluate(
      (sel) =>
        new Promise((resolve, reject) =>
          requestAnimationFrame(() => {
            const source = document.querySelector(sel);
            if (!source) return reject(new Error(`no ${sel}`));
            const copy = document.createElement('canvas');
            copy.width = source.width;
            copy.height = source.height;
            const ctx = copy.getContext('2d');
            ctx.drawImage(source, 0, 0);
            const pixels = ctx.getImageData(0, 0, copy.width, copy.height).data;
            let s = '';
            for (let i = 0; i < pixels.length; i += 0x8000) s += String.fromCharCode(...pixels.subarray(i, i + 0x8000));
            resolve({ width: copy.width, height: copy.height, data: btoa(s) });
          })
        ),
      selector
    );
    return { width, height, rgba: Buffer.from(data, 'base64') };
  }

  // The viewport's size in CSS pixels, one device pixel each; the page gets
  // a resize event as when a player resizes the window. (The headless
  // window's size is not the viewport's: it counts a toolbar.)
  setViewport(width, height) {
    return this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
  }

  // A phone of width x height CSS pixels at three device pixels each, held
  // as its shape says, with a touch screen; again to turn it.
  async emulatePhone(width, height) {
    const type = width < height ? 'portraitPrimary' : 'landscapePrimary';
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 3, mobile: true,
      screenOrientation: { type, angle: width < height ? 0 : 90 } });
    await this.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  }

  // The fingers on the screen now, as [id, x, y]: those new go down, those
  // gone are lifted, the others move there.
  async touch(...fingers) {
    const points = fingers.map(([id, x, y]) => ({ id, x, y }));
    const lifted = (this.fingers || []).filter((p) => !points.some((q) => q.id === p.id));
    const staying = (this.fingers || []).length - lifted.length;
    this.fingers = points;
    const send = (type, touchPoints) => this.send('Input.dispatchTouchEvent', { type, touchPoints });
    if (lifted.length) await send('touchEnd', points.length ? lifted : []);
    if (points.length) await send(staying ? 'touchMove' : 'touchStart', points);
  }

  // Another tab in front of this one for `ms`, then this one again.
  async hideFor(ms, meanwhile = async () => {}) {
    const { targetId } = await this.browser.send('Target.createTarget', { url: 'about:blank' });
    await this.browser.send('Target.activateTarget', { targetId });
    await new Promise((r) => setTimeout(r, ms));
    const seen = await meanwhile();
    await this.browser.send('Target.activateTarget', { targetId: this.targetId });
    await this.browser.send('Target.closeTarget', { targetId });
    return seen;
  }
}

// Width and height of a PNG, from its header.
export function pngSize(png) {
  if (png.length < 24 || png.toString('latin1', 1, 4) !== 'PNG') throw new Error('not a PNG');
  return { width: png.readUInt32BE(16), height: png.readUInt32BE(20) };
}

// The pixels of an 8-bit RGB or RGBA PNG that is not interlaced (what
// screenshots are) as { width, height, rgba }, to compare a screenshot with
// the runner's frames.
export function decodePng(png) {
  const { width, height } = pngSize(png);
  const [depth, type, , , interlace] = png.subarray(24, 29);
  const channels = { 2: 3, 6: 4 }[type];
  if (depth !== 8 || !channels || interlace) throw new Error(`unsupported PNG (depth ${depth}, type ${type})`);
  const chunks = [];
  for (let at = 8; at < png.length; ) {
    const length = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) === 'IDAT') chunks.push(png.subarray(at + 8, at + 8 + length));
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(chunks));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const i = y * stride + x;
      const a = x >= channels ? rows[i - channels] : 0;
      const b = y > 0 ? rows[i - stride] : 0;
      const c = x >= channels && y > 0 ? rows[i - stride - channels] : 0;
      const p = a + b - c;
      const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      rows[i] = line[x] + predicted;
    }
  }
  if (channels === 4) return { width, height, rgba: rows };
  const rgba = Buffer.alloc(width * height * 4, 255);
  for (let i = 0, j = 0; i < rows.length; i += 3, j += 4) rows.copy(rgba, j, i, i + 3);
  return { width, height, rgba };
}
