// The session's recording, kept in the browser's storage (IndexedDB) while
// the game writes it, so that a reload, a crashed or a closed tab does not
// lose the bug report a player wanted to send: the next page offers it. One
// session is kept: the one that starts clears the one before (the page has
// read it by then). What the game wrote is stored each second and whenever
// the page is hidden or left, as the new part of the text since the last
// time, so a store costs a few hundred bytes however long the session.
"use strict";

// The database, or a rejection where the browser keeps nothing (some
// private windows): the game plays on regardless.
const ztKept = new Promise((resolve, reject) => {
  if (typeof indexedDB === "undefined") return reject(new Error("no IndexedDB"));
  const request = indexedDB.open("zummertock", 1);
  request.onupgradeneeded = () => request.result.createObjectStore("recording", { autoIncrement: true });
  request.onsuccess = () => resolve(request.result);
  request.onerror = () => reject(request.error);
});

// One request on the recording's store; its result.
function ztKeptRequest(mode, call) {
  return ztKept.then((db) => new Promise((resolve, reject) => {
    const transaction = db.transaction("recording", mode);
    const request = call(transaction.objectStore("recording"));
    transaction.oncomplete = () => resolve(request.result);
    transaction.onerror = () => reject(transaction.error);
    // Now, not at the end of this task: the page may be going away.
    if (transaction.commit) transaction.commit();
  }));
}

// The recording of the last session before this page ("" if none): the
// parts of the session stored last, in the order they were stored.
const ztLastSession = ztKeptRequest("readonly", (store) => store.getAll()).then((parts) => {
  const last = parts.length ? parts[parts.length - 1].session : null;
  return parts.filter((part) => part.session === last).map((part) => part.text).join("");
}).catch((e) => {
  console.warn(`The last session's recording cannot be read: ${e.message}`);
  return "";
});

// Keeps the recording that the game writes to file in the module's file
// system FS, from now on in place of the last one. Returns the function that
// stores what is new; the page calls it when the game ends.
function ztKeepSession(FS, file) {
  const session = `${Date.now()} ${Math.random()}`;
  const decoder = new TextDecoder();
  let stored = 0;
  // Stores one after the other, none after one that failed (a full disk):
  // what is kept is then the recording up to there, with no gap in it.
  let failed = false;
  const fail = (e) => {
    if (!failed) console.warn(`This session's recording cannot be kept: ${e.message}`);
    failed = true;
  };
  let storing = ztKeptRequest("readwrite", (store) => store.clear()).catch(fail);
  const storeNew = () => {
    let bytes;
    try {
      const size = FS.stat(file).size;
      if (size <= stored) return;
      bytes = new Uint8Array(size - stored);
      const stream = FS.open(file, "r");
      FS.read(stream, bytes, 0, bytes.length, stored);
      FS.close(stream);
    } catch (e) {
      return; // not written yet
    }
    // Whole lines, as a recording cut short by a crash has them.
    const end = bytes.lastIndexOf(10) + 1;
    if (end === 0) return;
    stored += end;
    const text = decoder.decode(bytes.subarray(0, end));
    storing = storing.then(() => failed || ztKeptRequest("readwrite", (store) => store.add({ session, text })))
      .catch(fail);
  };
  setInterval(storeNew, 1000);
  window.addEventListener("pagehide", storeNew);
  document.addEventListener("visibilitychange", () => document.hidden && storeNew());
  return storeNew;
}
