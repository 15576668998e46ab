// Assembles the browser version's folder; scripts/build-web calls it.
//
//   node scripts/web-dist.mjs OUT RESOURCE_ROOT ICON_DIR MODULE_DIR
//
// OUT is emptied, then gets:
//   - the page's files from src/platform/web/page as they are (the sound's
//     worklet among them; not contract.js, which is linked into the module),
//     but for its scripts, which become one page.js (one request instead of
//     three) that opens with the sizes of what the page downloads, for its
//     progress bar;
//   - the module, zummertock.js and zummertock.wasm, from MODULE_DIR;
//   - resources.pack: every file under RESOURCE_ROOT/resources in one file
//     (the format below; load.js reads it);
//   - the web app's icons from ICON_DIR/web, and its 32-pixel desktop icon
//     as the page's icon.png;
//   - sw.js, the service worker, opening with the build's files (each with
//     its size and SHA-256) and their hash, which names the cache it keeps.
// The same inputs give the same bytes.
import { createHash } from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [out, resourceRoot, iconDir, moduleDir] = process.argv.slice(2);
if (!moduleDir) {
  console.error('usage: node scripts/web-dist.mjs OUT RESOURCE_ROOT ICON_DIR MODULE_DIR');
  process.exit(2);
}
const pageDir = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', 'src', 'platform', 'web', 'page');
// The page's scripts in the order they run: the loader and the session
// keeper define what page.js calls.
const pageScripts = ['load.js', 'keep.js', 'page.js'];
// Linked into the module, not served.
const linked = ['contract.js'];
const module = ['zummertock.js', 'zummertock.wasm'];
const pack = 'resources.pack';

// Every file under dir, as paths relative to it with '/', in byte order;
// dotfiles (the generator's stamp) are not the game's.
function filesUnder(dir, prefix = '') {
  return fs.readdirSync(dir, { withFileTypes: true })
    .filter((entry) => !entry.name.startsWith('.'))
    .flatMap((entry) => entry.isDirectory()
      ? filesUnder(path.join(dir, entry.name), `${prefix}${entry.name}/`)
      : [prefix + entry.name])
    .sort((a, b) => (a < b ? -1 : a > b ? 1 : 0));
}

// CRC-32 as in zip and PNG; load.js checks each file against it.
const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// The pack, little-endian throughout:
//   "ZTPK", version 1, the file count, the directory's length in bytes and
//   its CRC-32 (20 bytes);
//   the directory: for each file its size, its CRC-32, the length of its
//   name and the name (UTF-8, a relative path with '/');
//   then each file's bytes, in the directory's order, nothing between.
// The directory comes first so that a reader knows every name and size
// from the first bytes and can write each file out as soon as it is whole.
function writePack(root) {
  const names = filesUnder(path.join(root, 'resources')).map((name) => `resources/${name}`);
  const files = names.map((name) => ({ name, bytes: fs.readFileSync(path.join(root, name)) }));
  const entries = files.map(({ name, bytes }) => {
    const nameBytes = Buffer.from(name, 'utf8');
    const entry = Buffer.alloc(10 + nameBytes.length);
    entry.writeUInt32LE(bytes.length, 0);
    entry.writeUInt32LE(crc32(bytes), 4);
    entry.writeUInt16LE(nameBytes.length, 8);
    nameBytes.copy(entry, 10);
    return entry;
  });
  const directory = Buffer.concat(entries);
  const header = Buffer.alloc(20);
  header.write('ZTPK', 0, 'latin1');
  header.writeUInt32LE(1, 4);
  header.writeUInt32LE(files.length, 8);
  header.writeUInt32LE(directory.length, 12);
  header.writeUInt32LE(crc32(directory), 16);
  return Buffer.concat([header, directory, ...files.map((f) => f.bytes)]);
}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

fs.rmSync(out, { recursive: true, force: true });
fs.mkdirSync(out, { recursive: true });
for (const name of fs.readdirSync(pageDir)) {
  if (![...pageScripts, ...linked, 'sw.js'].includes(name)) fs.copyFileSync(path.join(pageDir, name), path.join(out, name));
}
for (const name of module) fs.copyFileSync(path.join(moduleDir, name), path.join(out, name));
for (const name of filesUnder(path.join(iconDir, 'web'))) fs.copyFileSync(path.join(iconDir, 'web', name), path.join(out, name));
fs.copyFileSync(path.join(iconDir, 'hicolor', '32x32', 'apps', 'zummertock.png'), path.join(out, 'icon.png'));
fs.writeFileSync(path.join(out, pack), writePack(resourceRoot));

const sizes = Object.fromEntries([...module, pack].map((name) => [name, fs.statSync(path.join(out, name)).size]));
fs.writeFileSync(path.join(out, 'page.js'),
  `// What this build downloads, in bytes (scripts/web-dist.mjs).\nconst ztDownloads = ${JSON.stringify(sizes)};\n` +
  pageScripts.map((name) => `\n// --- ${name}\n${fs.readFileSync(path.join(pageDir, name), 'utf8')}`).join(''));

const files = filesUnder(out).map((name) => {
  const bytes = fs.readFileSync(path.join(out, name));
  return { name, size: bytes.length, sha256: sha256(bytes) };
});
const hash = sha256(JSON.stringify(files)).slice(0, 16);
fs.writeFileSync(path.join(out, 'sw.js'),
  `// This build's files (scripts/web-dist.mjs).\nconst BUILD = {\n  hash: "${hash}",\n  files: [\n` +
  files.map((file) => `    ${JSON.stringify(file)},\n`).join('') + '  ],\n};\n\n' +
  fs.readFileSync(path.join(pageDir, 'sw.js'), 'utf8'));
console.log(`web-dist: ${files.length + 1} files, build ${hash}, ${pack} ${sizes[pack]} bytes`);
