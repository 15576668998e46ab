// The game's sound on the browser's audio thread. The game mixes on the
// page's thread and a page served plainly shares no memory with this one,
// so the sound comes over the node's message port: this asks the page for
// CHUNK frames at a time whenever what it holds and has asked for falls
// below AHEAD, and the page answers each request with that many frames
// (a Float32Array of the left samples, then the right), in order. What is
// not there in time, once the sound has begun, is played as silence and
// counted (`short`, in frames, sent with each request).
"use strict";

const CHUNK = 512; // one of the mixer's blocks, 11.6 ms at 44100 Hz
const AHEAD = 2048; // 46 ms: the page's thread may be a frame or two late

class ZummertockOutput extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = []; // answered, in order
    this.at = 0; // frames of the first chunk played
    this.held = 0; // frames answered and not yet played
    this.asked = 0; // frames asked for and not yet answered
    this.short = 0;
    this.begun = false;
    this.port.onmessage = (event) => {
      const frames = event.data.length / 2;
      this.chunks.push(event.data);
      this.held += frames;
      this.asked -= frames;
    };
    this.ask();
  }

  ask() {
    while (this.held + this.asked < AHEAD) {
      this.port.postMessage({ frames: CHUNK, short: this.short });
      this.asked += CHUNK;
    }
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    let done = 0;
    while (done < left.length && this.chunks.length > 0) {
      const chunk = this.chunks[0];
      const frames = chunk.length / 2;
      const n = Math.min(left.length - done, frames - this.at);
      left.set(chunk.subarray(this.at, this.at + n), done);
      right.set(chunk.subarray(frames + this.at, frames + this.at + n), done);
      done += n;
      this.at += n;
      this.held -= n;
      if (this.at === frames) {
        this.chunks.shift();
        this.at = 0;
      }
    }
    // The outputs start as silence.
    this.begun = this.begun || done > 0;
    if (this.begun) this.short += left.length - done;
    this.ask();
    return true;
  }
}

registerProcessor("zummertock-output", ZummertockOutput);
