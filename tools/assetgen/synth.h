#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zt::assetgen {

constexpr int kSampleRate = 44100;

// Stereo sound being made, in floats; full scale is 1.0.
struct StereoBuffer {
  std::vector<float> left, right;

  explicit StereoBuffer(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t frames() const { return left.size(); }
  // Adds a mono sound at frame start, panned from -1 (left) to 1 (right)
  // with equal power; whatever falls past the end is dropped.
  void addMono(size_t start, const std::vector<float>& mono, double gain, double pan);
};

enum class Wave { Sine, Triangle, Square, Saw };

// How one pitched voice sounds.
struct Instrument {
  Wave wave = Wave::Square;
  double duty = 0.5;         // square waves only
  double detuneCents = 0.0;  // a second oscillator this far up, when non-zero
  double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1;  // seconds, level
  double cutoff = 8000.0;      // low-pass cut-off at the sustain level, Hz
  double cutoffPeak = 8000.0;  // cut-off at the start of the note, falling to `cutoff`
  double cutoffDecay = 0.1;    // seconds for that fall (time constant)
  double resonance = 0.7;      // filter Q
  double vibratoDepth = 0.0;   // semitones
  double vibratoRate = 5.5;    // Hz
  double vibratoDelay = 0.15;  // seconds before vibrato sets in
  double slideFrom = 0.0;      // semitones the note starts away from its pitch
  double slideTime = 0.02;     // seconds for that slide (time constant)
};

// A note of `seconds` held length, with its release after it.
std::vector<float> renderNote(const Instrument& instrument, double frequency, double seconds,
                              double velocity);

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteFrequency(double midiNote);

// The drum kit. Each hit is seeded, so a hit sounds the same every run.
std::vector<float> kickDrum(double velocity);
std::vector<float> snareDrum(double velocity, uint32_t seed);
std::vector<float> hiHat(double velocity, bool open, uint32_t seed);
std::vector<float> crashCymbal(double velocity, uint32_t seed);

// Room sound added to a mix from a mono send: a small set of comb and
// all-pass filters, different on each side for width.
void addReverb(StereoBuffer& mix, const std::vector<float>& send, double wet);
// Echoes of a mono send bouncing between the sides.
void addPingPongDelay(StereoBuffer& mix, const std::vector<float>& send, size_t delayFrames,
                      double feedback);

// Removes sub-audio rumble and DC with a gentle high-pass.
void highPass(std::vector<float>& samples, double cutoffHz);

// Makes a loop of `loopFrames` from a render that runs on past it: what
// rings on after the loop end is added back onto its start, as it would
// sound when the loop plays again, and the mean of each side is removed.
void foldLoop(StereoBuffer& render, size_t loopFrames);

// Scales so the largest sample is at `peakDb` dBFS.
void normalise(StereoBuffer& sound, double peakDb);
// Short fades in and out so a one-shot starts and ends at silence.
void fadeEdges(StereoBuffer& sound, double inSeconds, double outSeconds);

struct SoundStats {
  double peak = 0;  // largest magnitude, 0..1
  double rms = 0;
  double dcLeft = 0, dcRight = 0;
};
SoundStats measure(const StereoBuffer& sound);

}  // namespace zt::assetgen
