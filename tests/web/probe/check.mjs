// Runs the probe (probe.cpp) in headless chromium and compares what it
// decoded with the desktop's decoders: the picture's pixels with
// ImageMagick's, exactly; the clip's samples with oggdec's, each within one
// step. (libvorbis's arithmetic is not bit for bit the same in WebAssembly:
// about one sample in ten thousand comes out one step off.)
//
//   node check.mjs BUILD-DIR PICTURE CLIP
import { execFileSync } from 'node:child_process';
import { serve, withBrowser } from '../browser.mjs';

const [dir, picture, clip] = process.argv.slice(2);
const run = (...command) => execFileSync(command[0], command.slice(1), { maxBuffer: 1 << 30 });
const fnv1a = (bytes) => {
  let hash = 2166136261;
  for (const b of bytes) hash = Math.imul(hash ^ b, 16777619) >>> 0;
  return hash.toString(16).padStart(8, '0');
};
const pixels = run('convert', picture, '-set', 'colorspace', 'sRGB', '-depth', '8', 'rgba:-');
const size = run('identify', '-format', '%w %h', picture).toString();
const samples = run('oggdec', '-Q', '-R', '-b', '16', '-e', '0', '-s', '1', '-o', '-', clip);
const info = run('ogginfo', clip).toString();
const [channels, rate] = [/Channels: (\d+)/, /Rate: (\d+)/].map((re) => Number(info.match(re)[1]));

let failed = 0;
const check = (name, ok, detail) => {
  console.log(`${ok ? 'ok    ' : 'FAILED'} ${name}${detail ? `: ${detail}` : ''}`);
  if (!ok) failed++;
};

const server = await serve(dir);
try {
  await withBrowser({ width: 320, height: 240, timeout: 60000 }, async (browser) => {
    const page = await browser.newPage();
    await page.goto(server.url + 'probe.html');
    const ended = () => page.console.some((m) => m.text === 'done' || m.text === 'failed');
    for (let i = 0; i < 600 && !ended() && page.errors.length === 0; i++) await new Promise((r) => setTimeout(r, 100));
    for (const m of page.console) console.log(`  console.${m.type}: ${m.text}`);
    for (const e of page.errors) console.log(`  uncaught: ${e}`);

    const line = (kind) => (page.console.find((m) => m.text.startsWith(kind + ' ')) || { text: '' }).text.split(' ');
    const png = line('png').slice(1, 4).join(' ');
    check('the picture decodes to the desktop\'s pixels', png === `${size} ${fnv1a(pixels)}`, png);

    const ogg = line('ogg').slice(1, 4).join(' ');
    const decoded = Buffer.from(
      await page.evaluate(() => {
        const bytes = FS.readFile('/decoded.pcm');
        let s = '';
        for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(s);
      }),
      'base64'
    );
    let off = 0;
    let most = 0;
    for (let i = 0; i + 1 < Math.min(decoded.length, samples.length); i += 2) {
      const d = Math.abs(decoded.readInt16LE(i) - samples.readInt16LE(i));
      if (d) off++;
      most = Math.max(most, d);
    }
    const count = samples.length / 2;
    check(
      'the clip decodes to the desktop\'s samples, within one step',
      ogg === `${channels} ${rate} ${count / channels}` && decoded.length === samples.length && most <= 1 && off < count / 1000,
      `${ogg}; ${off} of ${count} samples off, by at most ${most}`
    );
  });
} finally {
  await server.close();
}
process.exit(failed ? 1 : 0);
