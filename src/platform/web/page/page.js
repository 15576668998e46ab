// The page around the game: it fetches the resources into the module's file
// system, waits for the player's first click or key (browsers start sound
// only after one), then hands the game its keys, Web Audio and an About
// dialog, and offers the session's recording. The game itself is the
// module (zummertock.js and zummertock.wasm).
"use strict";

const RECORDING = "/zummertock-session.txt";
const $ = (id) => document.getElementById(id);
const canvas = $("canvas");

let ready = { runtime: false, resources: false };
let started = false;
let ended = false;
// Keys pressed for the page (the one that started the game, those pressed
// in the About box): their releases are not the game's either.
const pageKeys = new Set();
let audio = null;

// Lines for the player: the game's own error lines, and what went wrong here.
function say(line) {
  $("messages").textContent += line + "\n";
}

function sizeCanvas() {
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.max(1, Math.round(window.innerWidth * ratio));
  canvas.height = Math.max(1, Math.round(window.innerHeight * ratio));
}
window.addEventListener("resize", sizeCanvas);
sizeCanvas();

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen().catch(() => {});
  } else if (document.documentElement.requestFullscreen) {
    document.documentElement.requestFullscreen().catch(() => say("Full screen was refused."));
  }
}
let barTimer = 0;
window.addEventListener("mousemove", () => {
  $("bar").classList.add("shown");
  clearTimeout(barTimer);
  barTimer = setTimeout(() => $("bar").classList.remove("shown"), 2500);
});

$("fullscreen").addEventListener("click", (e) => {
  toggleFullScreen();
  e.currentTarget.blur();
});

window.zummertockRecording = function () {
  try {
    return FS.readFile(RECORDING, { encoding: "utf8" });
  } catch (e) {
    return "";
  }
};

// Where the game stands: { frames, mode, level, incorrect }, or null before
// it has started (and once it has ended).
window.zummertockState = function () {
  const state = started ? Module.ccall("zt_state", "string", [], []) : "";
  if (!state) return null;
  const [frames, mode, level, incorrect] = state.split(" ").map(Number);
  return { frames, mode, level, incorrect };
};

function saveRecording() {
  const blob = new Blob([window.zummertockRecording()], { type: "text/plain" });
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
$("save-end").addEventListener("click", saveRecording);
$("again").addEventListener("click", () => location.reload());

// --- called by the game ---------------------------------------------------

function ztShowAbout(caption, version, notice) {
  const about = $("about");
  $("about-caption").textContent = caption;
  $("about-version").textContent = version;
  $("about-notice").textContent = notice;
  about.showModal();
}
$("about").addEventListener("close", () => Module._zt_about_closed());

// Web Audio pulls the sound: each buffer it asks for the game mixes there
// and then, on this thread. A processor node needs no threads or shared
// memory, which a page served plainly does not get.
const AUDIO_FRAMES = 2048;
function ztOpenAudio(sampleRate) {
  if (!audio || audio.context.sampleRate !== sampleRate) return false;
  const bytes = AUDIO_FRAMES * 4;
  audio.left = Module._malloc(bytes);
  audio.right = Module._malloc(bytes);
  audio.node = audio.context.createScriptProcessor(AUDIO_FRAMES, 0, 2);
  audio.node.onaudioprocess = (event) => {
    const out = event.outputBuffer;
    Module._zt_audio_fill(audio.left, audio.right, out.length);
    out.getChannelData(0).set(HEAPF32.subarray(audio.left >> 2, (audio.left >> 2) + out.length));
    out.getChannelData(1).set(HEAPF32.subarray(audio.right >> 2, (audio.right >> 2) + out.length));
  };
  audio.node.connect(audio.context.destination);
  return true;
}

function ztCloseAudio() {
  if (!audio || !audio.node) return;
  audio.node.onaudioprocess = null;
  audio.node.disconnect();
  audio.node = null;
}

function ztGameEnded(status) {
  ended = true;
  $("ended").hidden = false;
  $("again").focus();
  if (status !== 0) say("The game ended with status " + status + ".");
}

// --- keys -----------------------------------------------------------------

function passKey(event, down) {
  const code = event.code || "";
  const key = event.key || "";
  Module.ccall("zt_key", null, ["number", "string", "string", "number"],
               [down ? 1 : 0, code, key, event.altKey ? 1 : 0]);
}

function onKey(event) {
  const down = event.type === "keydown";
  if (!started) {
    if (down && startGame()) {
      pageKeys.add(event.code);
      event.preventDefault();
    }
    return;
  }
  if (!down && pageKeys.delete(event.code)) return;
  if ($("about").open || ended) {
    // The game waits behind the box.
    if (down) pageKeys.add(event.code);
    return;
  }
  // The window's own keys: full screen; the game never sees them.
  if (event.code === "F11" || (event.code === "Enter" && event.altKey)) {
    if (down && !event.repeat) toggleFullScreen();
    event.preventDefault();
    return;
  }
  passKey(event, down);
  // Keep the browser's own meaning of the keys (scrolling, menus) out of play.
  if (event.key !== "Tab") event.preventDefault();
}
window.addEventListener("keydown", onKey, true);
window.addEventListener("keyup", onKey, true);

// --- start ----------------------------------------------------------------

function startGame() {
  if (started || !ready.runtime || !ready.resources) return false;
  started = true;
  const Context = window.AudioContext || window.webkitAudioContext;
  if (Context) {
    try {
      audio = { context: new Context({ sampleRate: 44100 }) };
      audio.context.resume();
    } catch (e) {
      audio = null;
    }
  }
  $("start").hidden = true;
  canvas.focus();
  if (!Module._zt_start()) say("The game could not start.");
  return true;
}
$("start").addEventListener("click", (e) => {
  e.preventDefault();
  startGame();
});

function becameReady(part) {
  ready[part] = true;
  if (ready.runtime && ready.resources) $("start-text").textContent = "Click or press a key to play";
}

// The resources, listed by the build in resources.txt, into the module's
// file system. A file that cannot be fetched is left out: the game then
// says what it misses, as it does on the desktop.
async function fetchResources() {
  const list = await fetch("resources.txt");
  if (!list.ok) throw new Error("resources.txt: " + list.status + " " + list.statusText);
  const names = (await list.text()).split("\n").filter((name) => name.length > 0);
  return Promise.all(names.map(async (name) => {
    try {
      const response = await fetch(name);
      if (!response.ok) {
        say("Could not download " + name + " (" + response.status + " " + response.statusText + ").");
        return null;
      }
      return { name, bytes: new Uint8Array(await response.arrayBuffer()) };
    } catch (e) {
      say("Could not download " + name + ": " + e.message);
      return null;
    }
  }));
}

function hasWebGl() {
  try {
    return !!document.createElement("canvas").getContext("webgl");
  } catch (e) {
    return false;
  }
}

var Module = {
  canvas,
  print: (line) => console.log(line),
  printErr: (line) => {
    say(line);
    console.warn(line);
  },
  onAbort: (what) => say("The game stopped: " + what),
  onRuntimeInitialized: () => {
    resources.then((files) => {
      for (const file of files) {
        if (!file) continue;
        const folder = "/" + file.name.substring(0, file.name.lastIndexOf("/"));
        FS.mkdirTree(folder);
        FS.writeFile("/" + file.name, file.bytes);
      }
      becameReady("resources");
    });
    becameReady("runtime");
  },
};

const resources = fetchResources().catch((e) => {
  say("Could not download the game's resources: " + e.message);
  return [];
});

// The game downloads while the page makes sure it can be shown.
const script = document.createElement("script");
script.src = "zummertock.js";
script.onerror = () => {
  $("start-text").textContent = "The game could not be downloaded.";
  say("Could not download zummertock.js.");
};
document.body.appendChild(script);
if (!hasWebGl()) {
  ready.runtime = false;
  $("start-text").textContent = "This browser cannot show the game: it has no WebGL.";
  Module.onRuntimeInitialized = () => {};
}
