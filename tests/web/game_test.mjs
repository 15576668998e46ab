// The browser version as a player meets it, in headless chromium over a
// plain static server: the title exactly as the desktop draws it (and at
// twice the zoom in a larger window), a game played by keys, by a pad and on
// a phone by touch alone whose recordings the runner replays to the same
// end, the About box, the sound through the AudioWorklet, a page hidden in
// the middle of a run, a damaged resource pack and a browser without WebGL
// told on the page, and a console without errors or warnings. Then the page
// kept by its service worker: the last session's recording offered after a
// reload in the middle of a game; the title offline; a new build at the same
// address taking over; the page from a sub-path, installable, with the
// module sent as any file.
//
//   node game_test.mjs DIST_WEB_DIR HOST_BUILD_DIR SRC_DIR
// Exits 77 (skipped) without chromium or a browser build; fails for a
// browser build older than SRC_DIR.
import { execFileSync, spawnSync } from 'node:child_process';
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { checks, decodePng, findChromium, serve, withBrowser } from './browser.mjs';

const [web, build, sources] = process.argv.slice(2).map((p) => path.resolve(p));
if (!findChromium()) {
  console.log('SKIP: chromium is not installed (scripts/install-deps web installs it)');
  process.exit(77);
}
const program = path.join(web, 'zummertock.wasm');
if (!existsSync(program)) {
  console.log(`SKIP: ${web} has no browser build (make web)`);
  process.exit(77);
}
// A build older than the game's code would test something else.
const newer = execFileSync('find', [sources, '-newer', program, '-type', 'f']).toString().trim();
if (newer) {
  console.log(`FAILED: ${web} is older than the code (make web):\n${newer.split('\n').slice(0, 5).join('\n')}`);
  process.exit(1);
}
const { check, finish } = checks('the browser tests', 300000);
const work = mkdtempSync(path.join(os.tmpdir(), 'zt-web-'));

// The runner's frame as RGBA, top row first, over the resources in
// `resources`/resources.
function runnerFrame(frame, resources = build) {
  const file = path.join(work, `runner-${frame}.png`);
  execFileSync(path.join(build, 'zummertock-replay'),
               ['--resources', resources, '--frames', String(frame + 1), '--shot', `${frame}:${file}`]);
  return execFileSync('convert', [file, '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 24 });
}

// The largest difference of any channel, the picture centred in the canvas
// read at zoom/2 of the runner's 640x480 frame.
function largestDifference(canvas, frame, zoom) {
  let largest = 0;
  const left = (canvas.width - 320 * zoom) >> 1;
  const top = (canvas.height - 240 * zoom + 1) >> 1;
  for (let y = 0; y < 240 * zoom; ++y) {
    for (let x = 0; x < 320 * zoom; ++x) {
      const at = ((top + y) * canvas.width + left + x) * 4;
      const from = ((Math.floor((y * 2) / zoom) * 640) + Math.floor((x * 2) / zoom)) * 4;
      for (let c = 0; c < 4; ++c) largest = Math.max(largest, Math.abs(canvas.rgba[at + c] - frame[from + c]));
    }
  }
  return largest;
}

// A page of the game, waiting for its start overlay.
async function openGame(browser, url, width, height) {
  const page = await browser.newPage();
  await page.setViewport(width, height);
  await page.goto(url);
  await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent), { timeout: 60000 });
  return page;
}

const messages = (page) => page.evaluate(() => document.getElementById('messages').textContent);
const consoleTold = (page) => page.console.filter((m) => /error|warn/.test(m.type)).map((m) => m.text)
  .concat(page.errors.map(String));

// Replays a recording taken from the page in the runner; its summary.
function replays(name, recording) {
  const file = path.join(work, name);
  writeFileSync(file, recording);
  try {
    return { ok: true, out: execFileSync(path.join(build, 'zummertock-replay'),
                                         ['--resources', build, '--replay', file]).toString() };
  } catch (e) {
    return { ok: false, out: `${e.stdout}${e.stderr}` };
  }
}

const stateIs = (page, key, value, timeout = 20000) =>
  page.waitFor((k, v) => window.zummertockState() && window.zummertockState()[k] >= v, { timeout },
               key, value);
// Until the game has run `n` more frames.
async function framesOn(page, n) {
  const from = (await page.evaluate(() => window.zummertockState())).frames;
  await page.waitFor((f) => window.zummertockState().frames >= f, { timeout: 20000 }, from + n);
}
// The recording's clock readings, in seconds, from frame `from` on.
const clocks = (recording, from = 0) => recording.split('\n').map((l) => /^(\d+) clock (\d+)$/.exec(l))
  .filter((m) => m && m[1] >= from).map((m) => m[2] / 1e6);
// Until the game has measured `seconds` more of its time.
async function gameSeconds(page, seconds) {
  const from = clocks(await page.evaluate(() => window.zummertockRecording())).pop();
  await page.waitFor((f, s) => window.zummertockRecording().split('\n').some((l) => {
    const m = /^\d+ clock (\d+)$/.exec(l);
    return m && m[1] / 1e6 >= f + s;
  }), { timeout: 20000 }, from, seconds);
}

// Through the title screens, a run held all along the first level, then
// Back (Escape) held for the game-over picture and the end.
async function playToGameOver(page, press, hold, release) {
  await press('south');
  await stateIs(page, 'mode', 2);
  await press('south');
  await stateIs(page, 'mode', 4);
  // A press counts once the walker has slid in (a third of a second).
  await gameSeconds(page, 0.6);
  await hold('right');
  await stateIs(page, 'level', 1, 5000).catch(() => {});
  await release('right');
  // Held, as a player would: it counts once the walker has slid in again.
  await hold('back');
  await page.waitFor(() => !document.getElementById('ended').hidden, { timeout: 20000 });
  await release('back');
}

const server = await serve(web);
try {
  await withBrowser({ width: 1300, height: 1000 }, async (browser) => {
    // The title, against the runner's.
    let page = await openGame(browser, server.url, 640, 480);
    check('the page is titled as the window', (await page.evaluate(() => document.title)) === 'QQQQQQQQ');
    await page.press('d');  // starts the game, and is not the game's
    await stateIs(page, 'frames', 3);
    const title = runnerFrame(3);
    let canvas = await page.canvasPixels('#canvas');
    const at2 = largestDifference(canvas, title, 2);
    console.log(`  640x480: canvas ${canvas.width}x${canvas.height}, largest difference from the runner's frame ${at2}`);
    check('at 640x480 the title is the runner\'s frame, pixel for pixel (within 1)',
          canvas.width === 640 && at2 <= 1);
    check('the key that started the game did not reach it',
          !/ (down|up) d/.test(await page.evaluate(() => window.zummertockRecording())));
    await page.setViewport(1280, 960);
    await page.waitFor(() => document.getElementById('canvas').width === 1280);
    await framesOn(page, 2);
    canvas = await page.canvasPixels('#canvas');
    const at4 = largestDifference(canvas, title, 4);
    console.log(`  1280x960: largest difference from the runner's frame at twice the size ${at4}`);
    check('at 1280x960 the title is drawn at zoom 4', canvas.width === 1280 && at4 <= 1);
    await page.setViewport(640, 480);

    // A game by keys: the About box on the way, Escape for the game-over.
    const keys = { south: 'd', right: 'ArrowRight', back: 'Escape' };
    await page.press('Alt+Shift+Slash');
    await page.waitFor(() => document.getElementById('about').open);
    const before = await page.evaluate(() => window.zummertockRecording().length);
    await page.press('Escape');  // the box's, not the game's
    await page.waitFor(() => !document.getElementById('about').open);
    await framesOn(page, 2);
    check('Alt+? opens the About box; the game waits behind it and Escape closes it',
          !(await page.evaluate(() => document.getElementById('about').open)) &&
          !/escape/.test((await page.evaluate(() => window.zummertockRecording())).slice(before)));
    // What the worklet is handed from here on, left channel; and whether the
    // browser keeps its own keys (reload, find, zoom, back) during play.
    await page.evaluate(() => {
      const post = MessagePort.prototype.postMessage;
      window.heard = [];
      MessagePort.prototype.postMessage = function (data, transfer) {
        if (data instanceof Float32Array && heard.length < 40) heard.push(Array.from(data.subarray(0, data.length / 2)));
        return post.call(this, data, transfer);
      };
      window.kept = [];
      addEventListener('keydown', (e) => e.defaultPrevented && kept.push(e.key));
      for (const [key, more] of [['F5', {}], ['r', { ctrlKey: true }], ['f', { ctrlKey: true }],
                                 ['=', { ctrlKey: true }], ['ArrowLeft', { altKey: true }]]) {
        dispatchEvent(new KeyboardEvent('keydown', { key, code: key, cancelable: true, ...more }));
      }
    });
    await playToGameOver(page, (b) => page.press(keys[b]), (b) => page.keyDown(keys[b]),
                         (b) => page.keyUp(keys[b]));
    const heard = (await page.evaluate(() => heard.flat())).map((v) => Math.round(v * 32768));
    const accept = execFileSync('oggdec', ['-Q', '-R', '-b', '16', '-e', '0', '-s', '1', '-o', '-',
                                           path.join(build, 'resources', 'accept.ogg')]);
    const first = heard.findIndex((v) => v !== 0);
    let off = first < 0 ? -1 : 0;
    for (let i = 0; first >= 0 && i < 1024; ++i) {
      // Decoders may round a sample differently by one.
      off = Math.max(off, Math.abs(heard[first + i] - accept.readInt16LE(4 * i)));
    }
    check('the sound handed to the AudioWorklet begins with the accept sound after the first D',
          first >= 0 && off <= 2, `first sound at ${first}, largest difference ${off}`);
    const kept = await page.evaluate(() => window.kept);
    check('the page keeps from the browser the game\'s keys only', [...new Set(kept)].join() === 'd,ArrowRight,Escape', kept.join());
    let recording = await page.evaluate(() => window.zummertockRecording());
    let end = recording.trim().split('\n').pop();
    check('keys play to game over after the first level', /^# end frames \d+ mode 7 level 1 incorrect 0$/.test(end), end);
    let replay = replays('keys.rec', recording);
    check('the runner replays the page\'s recording to its end line', replay.ok && replay.out.includes('mode 7, level 1, incorrect 0'), replay.out);
    check('no errors or warnings on the console', consoleTold(page).length === 0, consoleTold(page).join('\n'));

    // A game by pad.
    page = await browser.newPage();
    await page.fakeGamepads();
    await page.setViewport(640, 480);
    await page.goto(server.url);
    await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent));
    await page.click(320, 240);
    await page.evaluate(() => fakeGamepad(0, 'test pad'));
    // A pad is read once a frame: a press while the game still loads is not seen.
    await page.waitFor(() => window.zummertockState() && window.zummertockState().frames > 10,
                       { timeout: 60000 });
    const button = { south: 0, right: 15, back: 8 };
    const set = (b, down) => page.evaluate((i, d) => {
      window.__testGamepads[0].buttons[i].pressed = d;
    }, button[b], down);
    // A press lasts a few of the game's frames, however slowly the machine draws them.
    await playToGameOver(page, async (b) => { await set(b, true); await framesOn(page, 3); await set(b, false); },
                         (b) => set(b, true), (b) => set(b, false));
    recording = await page.evaluate(() => window.zummertockRecording());
    end = recording.trim().split('\n').pop();
    check('a pad (south, d-pad right, back) plays to game over', /mode 7 level 1 incorrect 0$/.test(end), end);
    replay = replays('pad.rec', recording);
    check('the runner replays the pad\'s recording to its end line', replay.ok, replay.out);

    // A phone, by touch alone: the title at the largest zoom upright and
    // turned; a pinch, two fingers and a finger that slides in level 0, and
    // the page hidden in the middle of a run; level 0 again, then the quit
    // control.
    page = await browser.newPage();
    await page.emulatePhone(390, 844);
    await page.goto(server.url);
    await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent), { timeout: 60000 });
    const tap = async (x = 195, y = 420) => { await page.touch([1, x, y]); await page.touch(); };
    await tap();  // the overlay's
    await stateIs(page, 'frames', 3);
    for (const [width, height, zoom, held] of [[390, 844, 3, 'upright'], [844, 390, 4, 'turned'], [390, 844, 3]]) {
      await page.emulatePhone(width, height);
      await page.waitFor((w) => document.getElementById('canvas').width === w, {}, width * 3);
      await framesOn(page, 2);
      if (!held) break;  // upright again, to play
      const shown = await page.canvasPixels('#canvas');
      const d = largestDifference(shown, title, zoom);
      check(`on a phone held ${held} the title is at zoom ${zoom}, centred`, d <= 1, `largest difference ${d}`);
    }
    const pinch = [0, 2, 4, 6, 8].map((i) => [[1, 180 - 10 * i, 420], [2, 210 + 10 * i, 420]]);
    for (const fingers of pinch) await page.touch(...fingers);
    await page.touch();
    const scale = await page.evaluate(() => visualViewport.scale);
    check('a pinch leaves the page unzoomed', scale === 1, `scale ${scale}`);
    await stateIs(page, 'mode', 2);  // the pinch was a press
    await tap();
    await stateIs(page, 'mode', 4);
    await gameSeconds(page, 0.6);
    const run = (await page.evaluate(() => window.zummertockState())).frames;
    await page.touch([1, 195, 420]);
    await gameSeconds(page, 0.2);
    await page.touch([1, 195, 420], [2, 250, 500]);
    await page.touch([1, 300, 300], [2, 250, 500]);
    await page.touch([2, 250, 500]);  // the first finger slid and lifted
    await gameSeconds(page, 0.3);
    // Hiding lets the key go (stamped with the last frame before it, or one
    // run between the blur and the hide): the fingers' window closes before.
    const fingersDone = (await page.evaluate(() => window.zummertockState())).frames;
    const hidden = await page.hideFor(5000, () => page.evaluate(() =>
      [document.visibilityState, sound.context.state, window.zummertockState()]));
    await framesOn(page, 10);
    const back = await page.evaluate(() => window.zummertockState());
    const held = (await page.evaluate(() => window.zummertockRecording())).split('\n')
      .filter((l) => / (down|up) d$/.test(l) && +l.split(' ')[0] > run && +l.split(' ')[0] < fingersDone);
    check('two fingers, and a finger that slides away and lifts, hold the play key as one',
          held.length === 1 && / down d$/.test(held[0]), held.join());
    check('a page hidden for 5 s in a run of level 0 ran no frame, suspended its sound, and is still in level 0',
          hidden[0] === 'hidden' && hidden[1] === 'suspended' && back.level === 0 && hidden[2].frames - fingersDone < 15,
          JSON.stringify({ hidden, back }));
    await page.touch();
    await stateIs(page, 'incorrect', 1);  // letting go was a wrong guess
    await gameSeconds(page, 1.5);
    await page.touch([1, 195, 420]);
    await stateIs(page, 'level', 1);
    await page.touch();
    const quit = await page.evaluate(() => {
      const r = document.getElementById('quit').getBoundingClientRect();
      return [r.x + r.width / 2, r.y + r.height / 2];
    });
    await page.touch([1, ...quit]);
    await page.waitFor(() => !document.getElementById('ended').hidden);
    await page.touch();
    // A long press, a right click and a double click on the page's text
    // (headless chromium makes no long-press gesture of touches).
    await page.evaluate(() => {
      window.menus = [];
      addEventListener('contextmenu', (e) => menus.push(e.defaultPrevented));
    });
    await page.touch([1, 150, 403]);
    await page.waitFor('new Promise((r) => setTimeout(() => r(true), 1000))');
    await page.touch();
    for (const [type, button, clickCount] of [['mousePressed', 'right', 1], ['mouseReleased', 'right', 1],
      ['mousePressed', 'left', 1], ['mouseReleased', 'left', 1], ['mousePressed', 'left', 2], ['mouseReleased', 'left', 2]]) {
      await page.send('Input.dispatchMouseEvent', { type, x: 150, y: 403, button, clickCount });
    }
    const [selected, menus] = await page.evaluate(() => [String(getSelection()), menus]);
    check('a long press, a right click and a double click select nothing and open no menu',
          selected === '' && menus.length > 0 && !menus.includes(false), JSON.stringify({ selected, menus }));
    recording = await page.evaluate(() => window.zummertockRecording());
    end = recording.trim().split('\n').pop();
    check('touch alone plays through level 0, and the quit control ends the game as Escape does',
          /mode 7 level 1 incorrect 1$/.test(end), end);
    const times = clocks(recording, hidden[2].frames - 30).slice(0, 60);
    const longest = Math.max(...times.slice(1).map((t, i) => t - times[i]));
    check('no frame around the hidden time measured it', longest < 1, `longest frame ${longest} s`);
    replay = replays('touch.rec', recording);
    check('the runner replays the phone\'s recording to its end line', replay.ok, replay.out);
    check('no errors or warnings on the phone\'s console', consoleTold(page).length === 0, consoleTold(page).join('\n'));
  });

  // Bad conditions are told on the page: a file damaged in the pack, the
  // pack cut short.
  const damaged = path.join(work, 'web');
  cpSync(web, damaged, { recursive: true });
  const pack = readFileSync(path.join(web, 'resources.pack'));
  pack[pack.indexOf(readFileSync(path.join(build, 'resources', 'titlebg.png'))) + 100] ^= 1;
  writeFileSync(path.join(damaged, 'resources.pack'), pack.subarray(0, pack.length - 10));
  const damagedServer = await serve(damaged);
  await withBrowser({ width: 700, height: 560 }, async (browser) => {
    const page = await browser.newPage();
    await page.goto(damagedServer.url);
    await page.waitFor(() => /bad PNG/.test(document.getElementById('messages').textContent), { timeout: 60000 })
      .catch(() => {});
    const said = await messages(page);
    check('a damaged and a missing resource are named on the page, with the game\'s own error lines',
          said.includes('resources.pack is damaged: resources/titlebg.png fails its check') &&
          /resources\.pack is damaged: it ends after \d+ bytes, without resources\/\w+\.png/.test(said) &&
          said.includes('titlebg.png') && said.includes('Error: bad PNG file'), said);
    const blind = await browser.newPage();
    await blind.addInitScript('HTMLCanvasElement.prototype.getContext = () => null;');
    await blind.goto(damagedServer.url);
    const text = await blind.evaluate(() => document.getElementById('start-text').textContent);
    check('without WebGL the page says so', /no WebGL/.test(text), text);
  });
  await damagedServer.close();

  // A second build, the title's picture changed, and an empty folder.
  const changed = path.join(work, 'changed');
  cpSync(path.join(build, 'resources'), path.join(changed, 'resources'), { recursive: true });
  execFileSync('convert', [path.join(changed, 'resources', 'title.png'), '-negate', path.join(changed, 'resources', 'title.png')]);
  const second = path.join(work, 'second');
  const repository = path.dirname(sources);
  execFileSync('node', [path.join(repository, 'scripts', 'web-dist.mjs'), second, changed, path.join(build, 'icons'),
                        path.join(repository, 'build', 'web')]);
  const nothing = path.join(work, 'nothing');
  mkdirSync(nothing);
  const titleDifference = async (page, resources) => {
    await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent), { timeout: 60000 });
    await page.press('d');
    await stateIs(page, 'frames', 3);
    return largestDifference(await page.canvasPixels('#canvas'), runnerFrame(3, resources), 2);
  };
  const offline = (page, yes) => page.send('Network.emulateNetworkConditions',
                                           { offline: yes, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
  await withBrowser({ width: 700, height: 560 }, async (browser) => {
    // A reload in the middle of a game, once the service worker keeps the page.
    let page = await openGame(browser, server.url, 640, 480);
    await page.press('d');  // the page's
    await stateIs(page, 'frames', 3);
    await page.press('d');
    await stateIs(page, 'mode', 2);
    await page.waitFor(() => navigator.serviceWorker.controller, { timeout: 60000 });
    const reached = (await page.evaluate(() => window.zummertockState())).frames;
    await page.goto(server.url);
    await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent), { timeout: 60000 });
    await browser.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: work });
    const offer = await page.evaluate(() => {
      const r = document.getElementById('last-session').getBoundingClientRect();
      return [r.x + r.width / 2, r.y + r.height / 2, document.getElementById('last-session').hidden];
    });
    await page.click(offer[0], offer[1]);
    const saved = path.join(work, 'zummertock-session.txt');
    await page.waitFor((ms) => new Promise((r) => setTimeout(() => r(true), ms)), {}, 1000);
    const last = existsSync(saved) ? readFileSync(saved, 'utf8') : '';
    const lastReplay = spawnSync(path.join(build, 'zummertock-replay'), ['--resources', build, '--replay', saved]);
    const replayed = Number((/replayed its (\d+) frames/.exec(lastReplay.stderr) || [])[1]);
    check('a reload in the middle of a game offers the last session\'s recording; it replays to the frame it reached',
          !offer[2] && /^# zummertock session/.test(last) && replayed >= reached,
          `${offer[2] ? 'not offered' : ''} reached ${reached}, ${lastReplay.stdout}${lastReplay.stderr}`);

    // Offline, with nothing at the address either.
    server.root = nothing;
    await page.send('Network.enable');
    await offline(page, true);
    await page.goto(server.url);
    const away = await titleDifference(page);
    check('offline after a visit, the title is the runner\'s frame (within 1)', away <= 1, `largest difference ${away}`);
    await offline(page, false);

    // The second build at the same address: the next visit plays it.
    server.root = second;
    const hash = /hash: "(\w+)"/.exec(readFileSync(path.join(second, 'sw.js'), 'utf8'))[1];
    await page.goto(server.url);
    const caches = await page.waitFor((h) => caches.keys().then((names) => names.length === 1 && names[0].endsWith(h) && names),
                                      { timeout: 60000 }, hash).catch(() => page.evaluate(() => caches.keys()));
    const renewed = await titleDifference(page, changed);
    check('a new build at the same address is played on the next visit, and the old cache is gone',
          renewed <= 1 && caches.length === 1, `largest difference ${renewed}, caches ${caches}`);
    check('no errors or warnings on the console', consoleTold(page).length === 0, consoleTold(page).join('\n'));

    // From a sub-path, on a server that sends the module as any file.
    const site = path.join(work, 'site');
    mkdirSync(path.join(site, 'games'), { recursive: true });
    symlinkSync(web, path.join(site, 'games', 'zummertock'));
    const host = await serve(site, { '.wasm': 'application/octet-stream' });
    page = await openGame(browser, `${host.url}games/zummertock/`, 640, 480);
    const scope = await page.waitFor(() => navigator.serviceWorker.ready.then((r) => navigator.serviceWorker.controller && r.scope),
                                     { timeout: 60000 });
    const { installabilityErrors } = await page.send('Page.getInstallabilityErrors');
    const there = await titleDifference(page);
    check('from a sub-path the title is the runner\'s frame, the service worker keeps to that path, and the page installs',
          there <= 1 && scope === `${host.url}games/zummertock/` && installabilityErrors.length === 0,
          `largest difference ${there}, scope ${scope}, ${JSON.stringify(installabilityErrors)} ${consoleTold(page).join('\n')}`);
    await host.close();
  });
} catch (e) {
  check('the browser tests ran to their end', false, e.stack);
} finally {
  await server.close();
  rmSync(work, { recursive: true, force: true });
}
const failed = finish();
console.log(`web: ${failed ? `${failed} FAILED` : 'all passed'}`);
process.exit(failed ? 1 : 0);
