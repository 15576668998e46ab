// The browser version's measures, reported, never asserted:
//   - the size of dist/web, whole and gzip-compressed (each file);
//   - the time from navigation to the first frame of the title (the page's
//     first clock reading, the player clicking as soon as it may), and the
//     requests the page made until then: on a first visit over localhost, on
//     a first visit throttled to 10 Mbit/s with 40 ms of latency, and from
//     the service worker's cache; each beside the Linux program's time from
//     its start to its first clock reading, measured in the same run;
//   - the page's main-thread time per animation frame over 1000 frames of
//     the play screen, at 640x480 and at 1920x1080 (chromium's own timeline
//     events, in microseconds).
//
//   node bench/web_bench.mjs [DIST_WEB_DIR] [HOST_BUILD_DIR]
// Needs a browser build (make web), the host build and a virtual display
// program (Xvfb) for the desktop side.
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { gzipSync } from 'node:zlib';
import { serve, withBrowser } from '../tests/web/browser.mjs';

const web = path.resolve(process.argv[2] || 'dist/web');
const build = path.resolve(process.argv[3] || 'build/default');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function files(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap((e) =>
    e.isDirectory() ? files(path.join(dir, e.name)) : [path.join(dir, e.name)]);
}
let bytes = 0;
let gzipped = 0;
for (const file of files(web)) {
  const data = readFileSync(file);
  bytes += data.length;
  gzipped += gzipSync(data, { level: 9 }).length;
}
const wasm = statSync(path.join(web, 'zummertock.wasm')).size;
const js = statSync(path.join(web, 'zummertock.js')).size;
console.log(`size: dist/web ${bytes} bytes (${(bytes / 1e6).toFixed(2)} MB), gzip-compressed ${gzipped} bytes; ` +
            `zummertock.wasm ${wasm}, zummertock.js ${js}`);

// The first clock reading of a recording the program writes as it starts.
const firstClock = (text) => /\n0 clock /.test(text);

async function desktopStart() {
  const work = mkdtempSync(path.join(os.tmpdir(), 'zt-bench-'));
  const display = spawn('Xvfb', [':93', '-screen', '0', '800x600x24', '-nolisten', 'tcp'],
                        { stdio: 'ignore' });
  await sleep(1000);
  const times = [];
  for (let i = 0; i < 5; ++i) {
    const recording = path.join(work, `start${i}.rec`);
    const started = performance.now();
    const game = spawn(path.join(build, 'zummertock'), ['--record', recording], {
      cwd: build, stdio: 'ignore', env: { ...process.env, DISPLAY: ':93', SDL_AUDIODRIVER: 'dummy' },
    });
    while (!(existsSync(recording) && firstClock(readFileSync(recording, 'utf8')))) await sleep(2);
    times.push(performance.now() - started);
    game.kill();
    await new Promise((resolve) => game.once('exit', resolve));
  }
  display.kill();
  rmSync(work, { recursive: true, force: true });
  return times;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const percentile = (values, p) => [...values].sort((a, b) => a - b)[Math.min(values.length - 1, Math.floor(values.length * p))];

// Durations of the page's animation frame callbacks, in microseconds, over
// `count` frames, from chromium's timeline.
async function frameTimes(page, count) {
  const events = [];
  const onEvent = page.onEvent.bind(page);
  page.onEvent = (method, params) => {
    if (method === 'Tracing.dataCollected') events.push(...params.value);
    onEvent(method, params);
  };
  await page.send('Tracing.start', { categories: 'devtools.timeline', transferMode: 'ReportEvents' });
  const from = await page.evaluate(() => window.zummertockState().frames);
  await page.waitFor((n) => window.zummertockState().frames >= n, { timeout: 120000 }, from + count);
  const complete = page.waitForEvent('Tracing.tracingComplete', 60000);
  await page.send('Tracing.end');
  await complete;
  page.onEvent = onEvent;
  return events.filter((e) => e.name === 'FireAnimationFrame' && e.dur !== undefined).map((e) => e.dur);
}

// One start of the page at url: milliseconds from navigation to the first
// title frame, the requests the page made and the bytes that came over the
// network until then. The page stays open.
async function start(browser, url, throttle = false) {
  const page = await browser.newPage();
  await page.send('Network.enable');
  if (throttle) {
    await page.send('Network.emulateNetworkConditions',
                    { offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 });
  }
  const counted = { requests: 0, bytes: 0 };
  const onEvent = page.onEvent.bind(page);
  page.onEvent = (method, params) => {
    if (method === 'Network.requestWillBeSent') counted.requests++;
    if (method === 'Network.loadingFinished') counted.bytes += params.encodedDataLength;
    onEvent(method, params);
  };
  await page.setViewport(640, 480);
  const started = performance.now();
  await page.goto(url);
  await page.waitFor(() => /to play/.test(document.getElementById('start-text').textContent),
                     { interval: 5, timeout: 60000 });
  await page.click(320, 240);
  await page.waitFor(() => /\n0 clock /.test(window.zummertockRecording()), { interval: 5 });
  page.onEvent = onEvent;
  return { ms: performance.now() - started, ...counted, page };
}

// Starts on a first visit: each on a server of its own, a new origin, so
// that neither the browser's cache nor a service worker has seen it.
async function firstVisits(browser, count, throttle) {
  const runs = [];
  for (let i = 0; i < count; ++i) {
    const server = await serve(web);
    const run = await start(browser, server.url, throttle);
    await run.page.send('Page.close');
    await server.close();
    runs.push(run);
  }
  return runs;
}

const starts = {};
const server = await serve(web);
await withBrowser({ width: 1940, height: 1200 }, async (browser) => {
  starts.localhost = await firstVisits(browser, 5, false);
  starts.throttled = await firstVisits(browser, 3, true);
  // Once to install the service worker, then from its cache ('?' keeps the
  // page out of the memory cache).
  const first = await start(browser, server.url);
  await first.page.waitFor(() => navigator.serviceWorker.controller, { timeout: 60000 });
  await first.page.send('Page.close');
  starts.cache = [];
  for (let i = 0; i < 5; ++i) {
    const run = await start(browser, `${server.url}?${i}`);
    starts.cache.push(run);
    if (i < 4) {
      await run.page.send('Page.close');
      continue;
    }
    // To the play screen, where each frame draws the whole scene.
    const page = run.page;
    await page.press('d');
    await sleep(500);
    await page.press('d');
    await page.waitFor(() => window.zummertockState().mode === 4);
    await sleep(1000);
    for (const [width, height] of [[640, 480], [1920, 1080]]) {
      await page.setViewport(width, height);
      await sleep(300);
      const times = await frameTimes(page, 1000);
      console.log(`frames at ${width}x${height}: ${times.length} measured, main-thread time per frame ` +
                  `median ${median(times)} us, 99th percentile ${percentile(times, 0.99)} us`);
    }
  }
});
await server.close();
const desktop = median(await desktopStart());
console.log(`start to the first title frame, median ms (runs), and against the Linux program (exec to its first ` +
            `clock reading) ${desktop.toFixed(0)} ms:`);
for (const [what, runs] of [['first visit, localhost', starts.localhost],
                            ['first visit, 10 Mbit/s and 40 ms', starts.throttled],
                            ['from the service worker\'s cache', starts.cache]]) {
  const ms = median(runs.map((r) => r.ms));
  console.log(`  ${what}: ${ms.toFixed(0)} ms (${runs.map((r) => r.ms.toFixed(0)).join(', ')}), ` +
              `${(ms / desktop).toFixed(2)} x; ${median(runs.map((r) => r.requests))} requests, ` +
              `${(median(runs.map((r) => r.bytes)) / 1024).toFixed(0)} KiB over the network`);
}
process.exit(0);
