// The browser version's measures, reported, never asserted:
//   - the size of dist/web, whole and gzip-compressed (each file);
//   - the time from navigation to the first frame of the title (the page's
//     first clock reading, the player clicking as soon as it may), beside
//     the Linux program's from its start to its first clock reading;
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

const server = await serve(web);
const pageStarts = [];
await withBrowser({ width: 1940, height: 1200 }, async (browser) => {
  for (let i = 0; i < 5; ++i) {
    const page = await browser.newPage();
    await page.setViewport(640, 480);
    const started = performance.now();
    await page.goto(server.url + '?' + i);  // not from the cache's memory
    await page.waitFor(() => /Click or press/.test(document.getElementById('start-text').textContent),
                       { interval: 5 });
    await page.click(320, 240);
    await page.waitFor(() => /\n0 clock /.test(window.zummertockRecording()), { interval: 5 });
    pageStarts.push(performance.now() - started);
    if (i < 4) await page.send('Page.close');
    else {
      // To the play screen, where each frame draws the whole scene.
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
  }
});
await server.close();
console.log(`start to the first title frame: browser (navigation, loading, click) median ` +
            `${median(pageStarts).toFixed(0)} ms of ${pageStarts.map((t) => t.toFixed(0)).join(', ')}`);
const desktop = await desktopStart();
console.log(`start to the first title frame: Linux program (exec to its first clock reading) median ` +
            `${median(desktop).toFixed(0)} ms of ${desktop.map((t) => t.toFixed(0)).join(', ')}`);
process.exit(0);
