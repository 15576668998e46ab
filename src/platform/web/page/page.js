// The page around the game. The game itself is the module (zummertock.js
// and zummertock.wasm); what the two call on each other is the contract in
// contract.js, linked into the module: the page reaches the game only
// through Module.game and gives it Module.page (below), besides the module's
// file system (Module.FS), where the page puts the resources and finds the
// recording.
//
// In this order: lines for the player; the picture; the recording and the
// state for scripts; input and the page's lifecycle, passed on for the game
// to decide; the sound; what the game calls; the start; the loading. Before
// this file in page.js come load.js (the downloads) and keep.js (the
// session's recording kept in the browser's storage).
"use strict";

const RECORDING = "/zummertock-session.txt";
const $ = (id) => document.getElementById(id);
const canvas = $("canvas");

let started = false;
let ended = false;
// Stores what is new of the recording in the browser's storage (keep.js),
// from the start on.
let keepSession = null;

// --- lines for the player ----------------------------------------------------

// The game's own error lines, and what went wrong here.
function say(line) {
  $("messages").textContent += line + "\n";
}

// --- the picture ---------------------------------------------------------------

// The canvas has one pixel for each of the screen's, so the game's largest
// whole zoom that fits keeps every pixel of it a sharp square, in portrait
// and in landscape, on any screen density and at any page zoom.
function sizeCanvas(entry) {
  const ratio = window.devicePixelRatio || 1;
  const css = entry ? entry.contentRect : { width: canvas.clientWidth, height: canvas.clientHeight };
  let width = Math.round(css.width * ratio);
  let height = Math.round(css.height * ratio);
  // The exact count where the browser tells it and it agrees but for the
  // rounding (an emulated density is not in it).
  const box = entry && entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
  if (box && Math.abs(box.inlineSize - width) <= 1 && Math.abs(box.blockSize - height) <= 1) {
    width = box.inlineSize;
    height = box.blockSize;
  }
  width = Math.max(1, width);
  height = Math.max(1, height);
  if (canvas.width !== width) canvas.width = width;
  if (canvas.height !== height) canvas.height = height;
}
sizeCanvas(null);
try {
  // A turn of the phone, a resize or a new zoom comes here.
  new ResizeObserver((entries) => sizeCanvas(entries[0]))
    .observe(canvas, { box: "device-pixel-content-box" });
} catch (e) {
  window.addEventListener("resize", () => sizeCanvas(null));
}

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen().catch(() => {});
  } else if (document.documentElement.requestFullscreen) {
    document.documentElement.requestFullscreen().catch(() => say("Full screen was refused."));
  }
}
$("fullscreen").addEventListener("click", (e) => {
  toggleFullScreen();
  e.currentTarget.blur();
});

// The controls show over the game while the mouse moves (on a touch screen
// always, beside the picture).
let barTimer = 0;
window.addEventListener("mousemove", () => {
  $("bar").classList.add("shown");
  clearTimeout(barTimer);
  barTimer = setTimeout(() => $("bar").classList.remove("shown"), 2500);
});

// --- the recording and the state, for scripts and bug reports -----------------

window.zummertockRecording = function () {
  try {
    return FS.readFile(RECORDING, { encoding: "utf8" });
  } catch (e) {
    return "";
  }
};

// Where the game stands: { frames, mode, level, incorrect }, or null before
// it has started.
window.zummertockState = function () {
  const state = started ? Module.game.state() : "";
  if (!state) return null;
  const [frames, mode, level, incorrect] = state.split(" ").map(Number);
  return { frames, mode, level, incorrect };
};

function saveRecording(text = window.zummertockRecording()) {
  const blob = new Blob([text], { type: "text/plain" });
  const link = document.createElement("a");
  link.href = URL.createObjectURL(blob);
  link.download = "zummertock-session.txt";
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}
$("save").addEventListener("click", (e) => {
  saveRecording();
  e.currentTarget.blur();
});
$("save-end").addEventListener("click", () => saveRecording());
$("again").addEventListener("click", () => location.reload());

// --- input and the page's lifecycle ----------------------------------------------
//
// Every key, every touch on the picture or the quit control and every change
// of the page's lifecycle goes to the game as it comes, and the game decides
// what each one is (platform/web/page_input.cpp); the page keeps from the
// browser only the keys the game says are its own.

// Keys pressed for the page (the one that started the game, those pressed
// in the About box or after the end): neither they nor their releases are
// the game's.
const pageKeys = new Set();

function onKey(event) {
  const down = event.type === "keydown";
  if (!started) {
    // Any plain key starts the game; the browser keeps its shortcuts.
    const plain = !event.ctrlKey && !event.metaKey && !event.altKey && !/^F\d+$/.test(event.key);
    if (down && plain && startGame()) {
      pageKeys.add(event.code);
      event.preventDefault();
    }
    return;
  }
  if (!down && pageKeys.delete(event.code)) return;
  if (down && ($("about").open || ended)) {
    // The game waits behind the box; a key let go reaches it all the same.
    pageKeys.add(event.code);
    return;
  }
  const modifiers = (event.altKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.metaKey ? 4 : 0);
  if (Module.game.key(down ? 1 : 0, event.code || "", event.key || "", modifiers) !== 0) {
    event.preventDefault();
  }
}
window.addEventListener("keydown", onKey, true);
window.addEventListener("keyup", onKey, true);

// A finger or a pen on the picture, or on the quit control (0 and 1 to the
// game); the mouse plays no part on the picture. A pointer keeps to the
// element it went down on, wherever it slides.
function touchesOf(element, control) {
  const onPointer = (event) => {
    if (!started || ended || (control === 0 && event.pointerType === "mouse")) return;
    const down = event.type === "pointerdown";
    if (down && element.setPointerCapture) element.setPointerCapture(event.pointerId);
    Module.game.touch(event.pointerId, down ? 1 : 0, control);
    event.preventDefault();
  };
  for (const type of ["pointerdown", "pointerup", "pointercancel", "lostpointercapture"]) {
    element.addEventListener(type, onPointer);
  }
}
touchesOf(canvas, 0);
touchesOf($("quit"), 1);

// No menu on a long press or a right click: the page is the game's.
window.addEventListener("contextmenu", (e) => e.preventDefault());

// A page left (another window or tab in front) lets go of all it holds; a
// hidden or frozen one runs no frame and its sound is suspended, and the
// game's clock leaves that time out.
let focused = true;
let frozen = false;
function lifecycle() {
  const visible = document.visibilityState === "visible" && !frozen;
  if (started && !ended) Module.game.lifecycle(visible ? 1 : 0, focused ? 1 : 0);
  suspendSound(!visible);
}
window.addEventListener("blur", () => {
  focused = false;
  lifecycle();
});
window.addEventListener("focus", () => {
  focused = true;
  lifecycle();
});
document.addEventListener("visibilitychange", lifecycle);
document.addEventListener("freeze", () => {
  frozen = true;
  lifecycle();
});
document.addEventListener("resume", () => {
  frozen = false;
  lifecycle();
});
window.addEventListener("pagehide", () => {
  frozen = true;
  lifecycle();
});
window.addEventListener("pageshow", (event) => {
  if (!event.persisted) return;
  frozen = false;
  lifecycle();
});

// --- the sound ---------------------------------------------------------------------
//
// The game's sound is pulled: Web Audio asks for frames and the game mixes
// them there and then (Module.game.audioFill), the same blocks in the same
// order whichever node asks. Where the page is a secure context (https,
// localhost) an AudioWorklet plays it on the audio thread and asks over its
// message port (audio-worklet.js); elsewhere a ScriptProcessorNode asks on
// this thread.
const sound = {
  context: null, // made at the player's first click, touch or key
  node: null,
  open: false, // the game's device is open
  short: 0, // frames the worklet had to play as silence, for the curious
};

function makeAudioContext() {
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  try {
    sound.context = new Context({ sampleRate: 44100 });
    sound.context.resume();
  } catch (e) {
    sound.context = null;
  }
}

function connectWorklet() {
  const node = new AudioWorkletNode(sound.context, "zummertock-output",
                                    { numberOfInputs: 0, outputChannelCount: [2] });
  node.port.onmessage = (event) => {
    sound.short = event.data.short;
    const frames = Module.game.audioFill(event.data.frames);
    node.port.postMessage(frames, [frames.buffer]);
  };
  node.connect(sound.context.destination);
  sound.node = node;
}

const PROCESSOR_FRAMES = 2048;
function connectProcessor() {
  const node = sound.context.createScriptProcessor(PROCESSOR_FRAMES, 0, 2);
  node.onaudioprocess = (event) => {
    const out = event.outputBuffer;
    const frames = Module.game.audioFill(out.length);
    out.getChannelData(0).set(frames.subarray(0, out.length));
    out.getChannelData(1).set(frames.subarray(out.length));
  };
  node.connect(sound.context.destination);
  sound.node = node;
}

function openAudio(sampleRate) {
  if (!sound.context || sound.context.sampleRate !== sampleRate) return false;
  sound.open = true;
  const connect = (how) => () => {
    if (sound.open && !sound.node) how();
  };
  if (window.isSecureContext && sound.context.audioWorklet && window.AudioWorkletNode) {
    // The blocks the game mixes meanwhile wait for the node.
    sound.context.audioWorklet.addModule("audio-worklet.js")
      .then(connect(connectWorklet), connect(connectProcessor));
  } else {
    connect(connectProcessor)();
  }
  return true;
}

function closeAudio() {
  sound.open = false;
  if (!sound.node) return;
  if (sound.node.port) sound.node.port.onmessage = null;
  sound.node.onaudioprocess = null;
  sound.node.disconnect();
  sound.node = null;
}

function suspendSound(suspended) {
  if (!sound.context) return;
  (suspended ? sound.context.suspend() : sound.context.resume()).catch(() => {});
}

// --- what the game calls (the contract's page side) --------------------------------

function showAbout(caption, version, notice) {
  $("about-caption").textContent = caption;
  $("about-version").textContent = version;
  $("about-notice").textContent = notice;
  $("about").showModal();
}
$("about").addEventListener("close", () => Module.game.aboutClosed());

function gameEnded(status) {
  ended = true;
  if (keepSession) keepSession();
  $("ended").hidden = false;
  $("again").focus();
  if (status !== 0) say("The game ended with status " + status + ".");
}

var Module = {
  canvas,
  print: (line) => console.log(line),
  printErr: (line) => {
    say(line);
    console.warn(line);
  },
  onAbort: (what) => say("The game stopped: " + what),
  page: {
    ready: () => becameReady("runtime"),
    showAbout,
    openAudio,
    closeAudio,
    toggleFullScreen,
    gameEnded,
  },
};

// --- the start ---------------------------------------------------------------------

const ready = { runtime: false, resources: false };
// Why the game cannot be offered here, when it cannot.
let refusal = "";
let opened = false;

function startGame() {
  if (started || !opened) return false;
  started = true;
  makeAudioContext();
  $("start").hidden = true;
  canvas.focus();
  if (!Module.game.start()) say("The game could not start.");
  keepSession = ztKeepSession(Module.FS, RECORDING);
  return true;
}
// The tap, click or key on the start overlay is the page's (a browser
// starts sound only then), not the game's.
$("start").addEventListener("pointerup", (e) => {
  if (e.button === 0) startGame();
});

// The game is assembled (every resource decoded, the scene built) while the
// overlay waits, so that the player's gesture only starts it.
function becameReady(part) {
  ready[part] = true;
  if (!ready.runtime || !ready.resources || refusal) return;
  opened = Module.game.open() === 1;
  $("progress").hidden = true;
  $("start-text").textContent = opened ? "Click, touch or press a key to play" : "The game could not start.";
}

// --- the loading -------------------------------------------------------------------
//
// The module and the resource pack download at once (load.js), the bar
// showing the bytes; the runtime starts once every resource is in its file
// system.

function showProgress(received, expected) {
  if (ready.runtime || refusal) return;
  $("progress").value = received / expected;
  $("start-text").textContent = `Loading\u2026 ${(received / 1e6).toFixed(1)} of ${(expected / 1e6).toFixed(1)} MB`;
}

function hasWebGl() {
  try {
    return !!document.createElement("canvas").getContext("webgl");
  } catch (e) {
    return false;
  }
}

Module.onRuntimeInitialized = () => becameReady("resources");
ztLoadGame(Module, showProgress, say).then(() => {
  // Kept for the next visit, and for play without a network, once this one
  // has all it needs (a secure context only: https or this machine).
  if (!navigator.serviceWorker) return;
  navigator.serviceWorker.register("sw.js", { updateViaCache: "none" })
    .catch((e) => console.warn(`The game cannot be kept for play offline: ${e.message}`));
}, () => {
  $("progress").hidden = true;
  if (!refusal) $("start-text").textContent = "The game could not be downloaded.";
});
// A new build that takes over before the player has started: play that one.
if (navigator.serviceWorker && navigator.serviceWorker.controller) {
  navigator.serviceWorker.addEventListener("controllerchange", () => {
    if (!started) location.reload();
  });
}

// Checked while the game downloads.
if (!hasWebGl()) {
  refusal = "This browser cannot show the game: it has no WebGL.";
  $("start-text").textContent = refusal;
  $("progress").hidden = true;
}

// The session before this page, which a reload, a crash or a closed tab
// would have lost, for a bug report.
ztLastSession.then((text) => {
  if (!text || started) return;
  const button = $("last-session");
  button.hidden = false;
  // Its tap is not the one that starts the game.
  button.addEventListener("pointerup", (e) => e.stopPropagation());
  button.addEventListener("click", () => saveRecording(text));
});
