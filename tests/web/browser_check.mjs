// Checks the browser driver (browser.mjs) against fixtures/index.html: each
// thing the browser tests rely on, once, and that nothing is left running.
// Exits 77 (skipped) without chromium.
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { checks, decodePng, findChromium, liveProcessesInGroup, serve, withBrowser } from './browser.mjs';

if (!findChromium()) {
  console.log('SKIP: chromium is not installed (scripts/install-deps web installs it)');
  process.exit(77);
}
const { check, finish } = checks('the driver\'s check', 90000);
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
const rgbAt = ({ width, rgba }, x, y) => [...rgba.subarray((y * width + x) * 4, (y * width + x) * 4 + 3)];

const fixtures = path.join(path.dirname(fileURLToPath(import.meta.url)), 'fixtures');
const server = await serve(fixtures);
let browserPid = 0;
try {
  await withBrowser({ width: 640, height: 480 }, async (browser) => {
    browserPid = browser.child.pid;
    const page = await browser.newPage();
    await page.fakeGamepads();
    await page.addInitScript("fakeGamepad(0, 'driver check pad');");
    await page.goto(server.url + 'index.html');

    check(
      'navigator.getGamepads is replaced before the page runs',
      same(await page.evaluate('padsAtLoad'), ['driver check pad']),
      JSON.stringify(await page.evaluate('padsAtLoad'))
    );

    const colour = [40, 150, 210];
    check('the page has a WebGL context', await page.evaluate('gl !== null'));
    check('evaluate awaits a promise', (await page.evaluate((...c) => fill(...c), ...colour)) === true);
    const canvas = await page.canvasPixels('#gl');
    const off = [[0, 0], [160, 120], [319, 239]]
      .map(([x, y]) => rgbAt(canvas, x, y))
      .filter((rgb) => !same(rgb, colour));
    check(
      'the colour WebGL drew reads back from the canvas',
      canvas.width === 320 && canvas.height === 240 && off.length === 0,
      `${canvas.width}x${canvas.height}, corners/centre ${JSON.stringify(off)}`
    );

    const shot = decodePng(await page.screenshot());
    check(
      'a screenshot is the 640 x 480 viewport and shows the canvas and the page',
      shot.width === 640 && shot.height === 480 && same(rgbAt(shot, 10, 10), colour) && same(rgbAt(shot, 600, 400), [0, 0, 0]),
      `${shot.width}x${shot.height}, ${rgbAt(shot, 10, 10)} in the canvas, ${rgbAt(shot, 600, 400)} beside it`
    );

    await page.press('ArrowRight');
    await page.press('d');
    await page.press('Alt+Slash');
    await page.press('Alt+Shift+Slash');
    await page.press('Escape');
    const down = (key, code, keyCode, alt = false) => ({ type: 'keydown', key, code, keyCode, alt });
    const up = (key, code, keyCode, alt = false) => ({ type: 'keyup', key, code, keyCode, alt });
    const expected = [
      down('ArrowRight', 'ArrowRight', 39), up('ArrowRight', 'ArrowRight', 39),
      down('d', 'KeyD', 68), up('d', 'KeyD', 68),
      down('/', 'Slash', 191, true), up('/', 'Slash', 191, true),
      down('?', 'Slash', 191, true), up('?', 'Slash', 191, true),
      down('Escape', 'Escape', 27), up('Escape', 'Escape', 27),
    ];
    const keys = await page.evaluate('keys');
    check('key presses reach the page with their key, code and keyCode', same(keys, expected), JSON.stringify(keys));

    await page.click(123, 45);
    const clicks = await page.evaluate('clicks');
    check('a click reaches the page where it was made', same(clicks, [{ x: 123, y: 45, button: 0 }]), JSON.stringify(clicks));

    await page.evaluate(() => {
      console.error('driver check: an error');
      setTimeout(() => {
        throw new Error('driver check: uncaught');
      });
    });
    await page.waitFor('new Promise((r) => setTimeout(() => r(true), 50))');
    check(
      'console.error is collected',
      page.console.some((m) => m.type === 'error' && m.text === 'driver check: an error'),
      JSON.stringify(page.console)
    );
    check(
      'an uncaught exception is collected',
      page.errors.some((e) => e.includes('driver check: uncaught')),
      JSON.stringify(page.errors)
    );

    await page.setViewport(800, 600);
    const size = await page.waitFor('innerWidth === 800 && innerHeight === 600 && [innerWidth, innerHeight]', {
      timeout: 5000,
    }).catch(() => page.evaluate('[innerWidth, innerHeight]'));
    const bigger = decodePng(await page.screenshot());
    check(
      'the viewport becomes 800 x 600 with a resize event, and so do screenshots',
      same(size, [800, 600]) && (await page.evaluate('resizes')) > 0 && bigger.width === 800 && bigger.height === 600,
      `viewport ${size}, screenshot ${bigger.width}x${bigger.height}`
    );
  });
} catch (e) {
  check('the check runs to its end', false, e.stack);
} finally {
  await server.close();
}

const running = liveProcessesInGroup(browserPid);
check('chromium and its helper processes have ended', browserPid !== 0 && running.length === 0, `${running.length} left`);
const refused = await new Promise((resolve) => {
  http.get(server.url, () => resolve(false)).on('error', () => resolve(true));
});
check('the file server has stopped', refused);

process.exit(finish() ? 1 : 0);
