// Getting the game into the page: three downloads at once, counted for the
// progress bar against the sizes the build wrote at the top of page.js
// (ztDownloads):
//  - zummertock.wasm, compiled while it arrives;
//  - resources.pack, every resource in one file (scripts/web-dist.mjs writes
//    it and describes the format), read while it arrives, each file put into
//    the module's file system as soon as it is whole and checked;
//  - zummertock.js, the module's script, which finds the compiled module
//    through Module.instantiateWasm.
// The module's runtime (and with it main) starts once all of the pack is in.
"use strict";

// A typed array: a plain one would hold the values above 2^31 as boxed
// numbers, and the sum of the pack's 1.4 MB would take ten times as long.
const ztCrcTable = Int32Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c;
});

// CRC-32 as in zip and PNG.
function ztCrc32(bytes) {
  let c = -1;
  for (let i = 0; i < bytes.length; i++) c = ztCrcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
  return (c ^ -1) >>> 0;
}

// Reads a resource pack from its chunks as they come: onFile(name, bytes)
// for each file that is whole and passes its check, onFault(line) for what
// is wrong, said for the player. A damaged file is left out (the game then
// names it, as any missing file); a damaged header or directory ends the
// reading.
class ZtPackReader {
  constructor(source, onFile, onFault) {
    this.source = source;
    this.onFile = onFile;
    this.onFault = onFault;
    this.chunks = [];
    this.buffered = 0;
    this.received = 0;
    this.files = null; // the directory, once read
    this.next = 0; // the file being filled
    this.filled = 0;
    this.failed = false;
  }

  fail(what) {
    this.failed = true;
    this.onFault(`${this.source} is damaged: ${what}.`);
  }

  // The next n bytes of the stream, once they have all come.
  take(n) {
    if (this.buffered < n) return null;
    const out = new Uint8Array(n);
    for (let at = 0; at < n;) {
      const chunk = this.chunks[0];
      const part = Math.min(n - at, chunk.length);
      out.set(chunk.subarray(0, part), at);
      at += part;
      if (part === chunk.length) this.chunks.shift();
      else this.chunks[0] = chunk.subarray(part);
    }
    this.buffered -= n;
    return out;
  }

  push(chunk) {
    if (this.failed) return;
    this.received += chunk.length;
    this.chunks.push(chunk);
    this.buffered += chunk.length;
    if (!this.files && !this.readDirectory()) return;
    while (this.files && this.next < this.files.length && this.buffered > 0) {
      const file = this.files[this.next];
      if (!file.bytes) file.bytes = new Uint8Array(file.size);
      const part = this.take(Math.min(this.buffered, file.size - this.filled));
      file.bytes.set(part, this.filled);
      this.filled += part.length;
      if (this.filled < file.size) break;
      if (ztCrc32(file.bytes) === file.crc) this.onFile(file.name, file.bytes);
      else this.onFault(`${this.source} is damaged: ${file.name} fails its check and is left out.`);
      file.bytes = null;
      this.next++;
      this.filled = 0;
    }
    if (this.files && this.next >= this.files.length && this.buffered > 0) this.fail("it goes on after its last file");
  }

  // The header and the directory, once they have come; false for a pack
  // that cannot be read at all.
  readDirectory() {
    if (!this.header) {
      const bytes = this.take(20);
      if (!bytes) return true;
      const view = new DataView(bytes.buffer);
      const magic = String.fromCharCode(...bytes.subarray(0, 4));
      this.header = { count: view.getUint32(8, true), length: view.getUint32(12, true), crc: view.getUint32(16, true) };
      if (magic !== "ZTPK" || view.getUint32(4, true) !== 1) {
        this.fail("it is not a resource pack of this game");
        return false;
      }
    }
    const directory = this.take(this.header.length);
    if (!directory) return true;
    if (ztCrc32(directory) !== this.header.crc) {
      this.fail("its list of files fails its check");
      return false;
    }
    const view = new DataView(directory.buffer);
    const decoder = new TextDecoder();
    const files = [];
    let at = 0;
    while (files.length < this.header.count && at + 10 <= directory.length) {
      const end = at + 10 + view.getUint16(at + 8, true);
      const name = decoder.decode(directory.subarray(at + 10, end));
      // Relative paths of plain names only: nothing above the folder it goes to.
      if (end > directory.length || !/^[\w.-]+(\/[\w.-]+)*$/.test(name) ||
          name.split("/").some((part) => /^\.+$/.test(part))) break;
      files.push({ name, size: view.getUint32(at, true), crc: view.getUint32(at + 4, true), bytes: null });
      at = end;
    }
    if (files.length !== this.header.count || at !== directory.length) {
      this.fail("its list of files cannot be read");
      return false;
    }
    this.files = files;
    return true;
  }

  // At the end of the stream: what did not come.
  end() {
    if (this.failed) return;
    const missing = this.files ? this.files.slice(this.next) : [];
    if (!this.files || missing.length > 0) {
      this.fail(`it ends after ${this.received} bytes` + (this.files ? `, without ${missing.map((f) => f.name).join(", ")}` : ""));
    }
  }
}

// A response of url, or an error that says what went wrong.
async function ztFetch(url) {
  let response;
  try {
    response = await fetch(url);
  } catch (e) {
    throw new Error(`Could not download ${url}: ${e.message}`);
  }
  if (!response.ok) throw new Error(`Could not download ${url} (${response.status} ${response.statusText}).`);
  return response;
}

// A response's body, chunk by chunk, to onChunk.
async function ztReadBody(response, onChunk) {
  const reader = response.body.getReader();
  for (;;) {
    const { done, value } = await reader.read();
    if (done) return;
    onChunk(value);
  }
}

// The module, compiled while it downloads. Streaming compilation takes only
// a response typed application/wasm: from a server that sends another type,
// the same bytes go through a response of our own that has it.
async function ztCompile(url, count) {
  const response = await ztFetch(url);
  try {
    if (/^application\/wasm\s*(;|$)/i.test(response.headers.get("Content-Type") || "")) {
      ztReadBody(response.clone(), (chunk) => count(chunk.length)).catch(() => {});
      return await WebAssembly.compileStreaming(response);
    }
    const counted = response.body.pipeThrough(new TransformStream({
      transform(chunk, out) {
        count(chunk.length);
        out.enqueue(chunk);
      },
    }));
    return await WebAssembly.compileStreaming(new Response(counted, { headers: { "Content-Type": "application/wasm" } }));
  } catch (e) {
    throw new Error(`Could not load ${url}: ${e.message}`);
  }
}

// Loads the game into Module (before the module's script runs; it adds that
// script to the page). progress(received, expected) as bytes come in;
// fault(line) for each thing that went wrong, said for the player. Resolves
// once the module is compiled, its script loaded and the pack read; rejects,
// having said why, when the game cannot run at all. A pack that cannot be
// read does not stop the game: it then names each file it misses, as the
// desktop does.
function ztLoadGame(Module, progress, fault) {
  const expected = Object.values(ztDownloads).reduce((sum, size) => sum + size, 0);
  let received = 0;
  const count = (bytes) => {
    received += bytes;
    progress(received, expected);
  };

  const compiled = ztCompile("zummertock.wasm", count);
  Module.instantiateWasm = (imports, receive) => {
    compiled.then((module) => WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module),
      (e) => fault(`The game could not start: ${e.message}`)), () => {});
    return {};
  };

  // Files whole before the module is in (its file system works on its
  // memory) wait for it.
  let waiting = [];
  const put = (name, bytes) => {
    Module.FS.mkdirTree("/" + name.substring(0, name.lastIndexOf("/")));
    Module.FS.writeFile("/" + name, bytes);
  };
  const resources = (async () => {
    const reader = new ZtPackReader("resources.pack", (name, bytes) => (waiting ? waiting.push([name, bytes]) : put(name, bytes)), fault);
    try {
      await ztReadBody(await ztFetch("resources.pack"), (chunk) => {
        count(chunk.length);
        reader.push(chunk);
      });
      reader.end();
    } catch (e) {
      fault(e.message);
    }
  })();
  // The runtime waits for the rest of the pack before it starts.
  const preRun = Module.preRun ? [].concat(Module.preRun) : [];
  Module.preRun = preRun.concat(() => {
    for (const [name, bytes] of waiting) put(name, bytes);
    waiting = null;
    Module.addRunDependency("resources.pack");
    resources.then(() => Module.removeRunDependency("resources.pack"));
  });

  const script = new Promise((resolve, reject) => {
    const element = document.createElement("script");
    element.src = "zummertock.js";
    element.onload = () => {
      count(ztDownloads["zummertock.js"]);
      resolve();
    };
    element.onerror = () => reject(new Error("Could not download zummertock.js."));
    document.body.appendChild(element);
  });
  return Promise.all([compiled, resources, script]).then(() => {}, (e) => {
    fault(e.message);
    throw e;
  });
}
