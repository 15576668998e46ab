// The service worker: it keeps exactly one build of the game, the files
// BUILD lists (scripts/web-dist.mjs writes that list at the top of this
// file), in a cache named by the build's hash, and answers the page's
// requests for them from there, so that the game starts without a network.
// A new build deployed to the same folder changes this file, which the
// browser notices on the next visit: the new worker fetches the new files,
// takes over, and deletes the caches of the builds before it.
"use strict";

// Everything is relative to the folder the worker is served from, so the
// game may live under any path; two copies of it on one host keep apart.
const scope = self.registration.scope;
const cachePrefix = `zummertock ${scope} `;
const cacheName = cachePrefix + BUILD.hash;
const names = new Set(BUILD.files.map((file) => file.name));

const types = { html: "text/html", js: "text/javascript", wasm: "application/wasm", json: "application/manifest+json",
                png: "image/png" };

function hex(digest) {
  return Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join("");
}

// A file exactly as the build made it, or an error. A copy the browser's
// HTTP cache revalidates is taken first; if it is not the build's (a server
// that says "not modified" for a file changed within the same second), the
// server's own.
async function fetchExactly(file) {
  for (const cache of ["no-cache", "reload"]) {
    const response = await fetch(new URL(file.name, scope), { cache });
    if (!response.ok) throw new Error(`${file.name}: ${response.status} ${response.statusText}`);
    const bytes = await response.arrayBuffer();
    if (hex(await crypto.subtle.digest("SHA-256", bytes)) !== file.sha256) continue;
    const type = types[file.name.slice(file.name.lastIndexOf(".") + 1)] || "application/octet-stream";
    return new Response(bytes, { headers: { "Content-Type": type, "Content-Length": String(bytes.byteLength) } });
  }
  throw new Error(`${file.name} on the server is not this build's`);
}

// All of the build or nothing: a failed install leaves the build before it
// in charge, and the browser tries again on a later visit.
self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const responses = await Promise.all(BUILD.files.map(fetchExactly));
    const cache = await caches.open(cacheName);
    await Promise.all(BUILD.files.map((file, i) => cache.put(new URL(file.name, scope), responses[i])));
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(cachePrefix) && name !== cacheName) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// The build's files from the cache, whatever query they carry; the folder
// itself is index.html. Anything else goes to the network as usual.
self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== "GET" || !url.href.startsWith(scope)) return;
  const name = url.pathname.slice(new URL(scope).pathname.length) || "index.html";
  if (!names.has(name)) return;
  // Not caches.open: a worker that a new one has replaced would make its
  // deleted cache again.
  event.respondWith(caches.match(new URL(name, scope), { cacheName })
    .then((response) => response || fetch(event.request)));
});
