#include "synth.h"

#include <algorithm>
#include <cmath>

namespace zt::assetgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

// Softens the jump of a naive square or saw wave where it wraps, which
// keeps high notes from aliasing into harsh tones.
double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

class Oscillator {
 public:
  Oscillator(Wave wave, double duty) : wave_(wave), duty_(duty) {}
  double next(double frequency) {
    const double dt = frequency / kSampleRate;
    double v = 0.0;
    switch (wave_) {
      case Wave::Sine:
        v = std::sin(kTwoPi * phase_);
        break;
      case Wave::Triangle:
        v = 4.0 * std::fabs(phase_ - 0.5) - 1.0;
        break;
      case Wave::Saw:
        v = 2.0 * phase_ - 1.0 - polyBlep(phase_, dt);
        break;
      case Wave::Square: {
        v = phase_ < duty_ ? 1.0 : -1.0;
        v += polyBlep(phase_, dt);
        v -= polyBlep(std::fmod(phase_ + 1.0 - duty_, 1.0), dt);
        break;
      }
    }
    phase_ += dt;
    phase_ -= std::floor(phase_);
    return v;
  }

 private:
  Wave wave_;
  double duty_;
  double phase_ = 0.0;
};

// State-variable low-pass (trapezoidal form), stable under fast sweeps.
class LowPass {
 public:
  void tune(double cutoff, double q) {
    cutoff = std::clamp(cutoff, 20.0, 0.45 * kSampleRate);
    const double g = std::tan(kPi * cutoff / kSampleRate);
    const double k = 1.0 / q;
    a1_ = 1.0 / (1.0 + g * (g + k));
    a2_ = g * a1_;
    a3_ = g * a2_;
  }
  double process(double v0) {
    const double v3 = v0 - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return v2;
  }

 private:
  double a1_ = 1, a2_ = 0, a3_ = 0, ic1_ = 0, ic2_ = 0;
};

class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 0x9e3779b9u) {
    if (state_ == 0) state_ = 1;
  }
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  uint32_t state_;
};

size_t framesFor(double seconds) {
  return static_cast<size_t>(std::lround(seconds * kSampleRate));
}

}  // namespace

void StereoBuffer::addMono(size_t start, const std::vector<float>& mono, double gain, double pan) {
  const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
  const float gl = static_cast<float>(gain * std::cos(angle) * std::sqrt(2.0));
  const float gr = static_cast<float>(gain * std::sin(angle) * std::sqrt(2.0));
  for (size_t i = 0; i < mono.size() && start + i < frames(); ++i) {
    left[start + i] += gl * mono[i];
    right[start + i] += gr * mono[i];
  }
}

double noteFrequency(double midiNote) {
  return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

std::vector<float> renderNote(const Instrument& ins, double frequency, double seconds,
                              double velocity) {
  const size_t held = framesFor(seconds);
  const size_t total = held + framesFor(ins.release) + 1;
  std::vector<float> out(total);
  Oscillator a(ins.wave, ins.duty), b(ins.wave, ins.duty);
  const double detune = std::pow(2.0, ins.detuneCents / 1200.0);
  LowPass filter;
  double level = 0.0, releaseFrom = 0.0;
  for (size_t i = 0; i < total; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    // Envelope: attack, decay to sustain while held, then release.
    if (i < held) {
      if (t < ins.attack)
        level = t / ins.attack;
      else
        level = ins.sustain + (1.0 - ins.sustain) * std::exp(-(t - ins.attack) / ins.decay);
      releaseFrom = level;
    } else {
      const double r = static_cast<double>(i - held) / kSampleRate;
      level = releaseFrom * std::max(0.0, 1.0 - r / ins.release);
    }
    double semis = ins.slideFrom * std::exp(-t / ins.slideTime);
    if (ins.vibratoDepth > 0 && t > ins.vibratoDelay) {
      const double fadeIn = std::min(1.0, (t - ins.vibratoDelay) / 0.2);
      semis +=
          ins.vibratoDepth * fadeIn * std::sin(kTwoPi * ins.vibratoRate * (t - ins.vibratoDelay));
    }
    const double f = frequency * std::pow(2.0, semis / 12.0);
    double v = a.next(f);
    if (ins.detuneCents != 0.0) v = 0.5 * (v + b.next(f * detune));
    if (i % 8 == 0)
      filter.tune(ins.cutoff + (ins.cutoffPeak - ins.cutoff) * std::exp(-t / ins.cutoffDecay),
                  ins.resonance);
    out[i] = static_cast<float>(filter.process(v) * level * velocity);
  }
  return out;
}

std::vector<float> kickDrum(double velocity) {
  const size_t n = framesFor(0.42);
  std::vector<float> out(n);
  double phase = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double f = 46.0 + 110.0 * std::exp(-t / 0.035);
    phase += f / kSampleRate;
    const double body = std::sin(kTwoPi * phase) * std::exp(-t / 0.16);
    const double click = std::exp(-t / 0.003) * 0.35 * std::sin(kTwoPi * 1500.0 * t);
    const double attack = std::min(1.0, t / 0.0008);
    out[i] =
        static_cast<float>(velocity * attack * (body + click) * std::min(1.0, (0.42 - t) / 0.05));
  }
  return out;
}

std::vector<float> snareDrum(double velocity, uint32_t seed) {
  const size_t n = framesFor(0.3);
  std::vector<float> out(n);
  Noise noise(seed);
  LowPass tone;
  tone.tune(5200.0, 0.6);
  double previous = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double raw = noise.next();
    // First difference tilts the noise bright; the low-pass takes off fizz.
    const double rattle = tone.process(raw - 0.6 * previous);
    previous = raw;
    const double body = std::sin(kTwoPi * 185.0 * t) * std::exp(-t / 0.045);
    const double attack = std::min(1.0, t / 0.0008);
    out[i] =
        static_cast<float>(velocity * attack * (0.55 * rattle * std::exp(-t / 0.07) + 0.5 * body) *
                           std::min(1.0, (0.3 - t) / 0.03));
  }
  return out;
}

std::vector<float> hiHat(double velocity, bool open, uint32_t seed) {
  const double length = open ? 0.35 : 0.08;
  const size_t n = framesFor(length);
  std::vector<float> out(n);
  Noise noise(seed);
  double previous = 0.0, previous2 = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double raw = noise.next();
    // Second difference: a steep tilt toward the top octaves.
    const double bright = raw - 2.0 * previous + previous2;
    previous2 = previous;
    previous = raw;
    const double decay = std::exp(-t / (open ? 0.09 : 0.018));
    out[i] = static_cast<float>(velocity * 0.25 * bright * decay * std::min(1.0, t / 0.0005) *
                                std::min(1.0, (length - t) / 0.01));
  }
  return out;
}

std::vector<float> crashCymbal(double velocity, uint32_t seed) {
  const double length = 1.6;
  const size_t n = framesFor(length);
  std::vector<float> out(n);
  Noise noise(seed);
  LowPass soften;
  soften.tune(9000.0, 0.5);
  double previous = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double raw = noise.next();
    const double bright = soften.process(raw - previous);
    previous = raw;
    out[i] = static_cast<float>(velocity * 0.3 * bright * std::exp(-t / 0.45) *
                                std::min(1.0, t / 0.001) * std::min(1.0, (length - t) / 0.1));
  }
  return out;
}

void addReverb(StereoBuffer& mix, const std::vector<float>& send, double wet) {
  struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0;
    float process(float in, float feedback, float damp) {
      const float out = line[pos];
      store = out * (1 - damp) + store * damp;
      line[pos] = in + store * feedback;
      pos = (pos + 1) % line.size();
      return out;
    }
  };
  struct AllPass {
    std::vector<float> line;
    size_t pos = 0;
    float process(float in) {
      const float buffered = line[pos];
      const float out = buffered - in;
      line[pos] = in + buffered * 0.5f;
      pos = (pos + 1) % line.size();
      return out;
    }
  };
  const size_t combLengths[4] = {1116, 1277, 1422, 1557};
  const size_t allPassLengths[2] = {556, 341};
  for (int side = 0; side < 2; ++side) {
    const size_t spread = side == 0 ? 0 : 23;
    std::vector<Comb> combs;
    for (size_t len : combLengths) combs.push_back({std::vector<float>(len + spread, 0.0f)});
    std::vector<AllPass> allPasses;
    for (size_t len : allPassLengths) allPasses.push_back({std::vector<float>(len + spread, 0.0f)});
    std::vector<float>& out = side == 0 ? mix.left : mix.right;
    for (size_t i = 0; i < mix.frames() && i < send.size(); ++i) {
      const float in = send[i] * 0.05f;
      float sum = 0;
      for (Comb& c : combs) sum += c.process(in, 0.8f, 0.3f);
      for (AllPass& a : allPasses) sum = a.process(sum);
      out[i] += static_cast<float>(wet) * sum;
    }
  }
}

void addPingPongDelay(StereoBuffer& mix, const std::vector<float>& send, size_t delayFrames,
                      double feedback) {
  // Each echo comes delayFrames after the last, on the other side, quieter.
  std::vector<float> leftEcho(mix.frames(), 0.0f), rightEcho(mix.frames(), 0.0f);
  for (size_t i = delayFrames; i < mix.frames(); ++i) {
    const float in = i - delayFrames < send.size() ? send[i - delayFrames] : 0.0f;
    leftEcho[i] = in + static_cast<float>(feedback) * rightEcho[i - delayFrames];
    rightEcho[i] = static_cast<float>(feedback) * leftEcho[i - delayFrames];
  }
  for (size_t i = 0; i < mix.frames(); ++i) {
    mix.left[i] += leftEcho[i];
    mix.right[i] += rightEcho[i];
  }
}

void highPass(std::vector<float>& samples, double cutoffHz) {
  const double r = std::exp(-kTwoPi * cutoffHz / kSampleRate);
  double previousIn = 0.0, previousOut = 0.0;
  for (float& s : samples) {
    const double out = s - previousIn + r * previousOut;
    previousIn = s;
    previousOut = out;
    s = static_cast<float>(out);
  }
}

void foldLoop(StereoBuffer& render, size_t loopFrames) {
  for (std::vector<float>* side : {&render.left, &render.right}) {
    std::vector<float>& s = *side;
    for (size_t i = loopFrames; i < s.size(); ++i) s[i % loopFrames] += s[i];
    s.resize(loopFrames);
    double mean = 0.0;
    for (float v : s) mean += v;
    mean /= static_cast<double>(loopFrames);
    for (float& v : s) v = static_cast<float>(v - mean);
  }
}

void normalise(StereoBuffer& sound, double peakDb) {
  const double peak = measure(sound).peak;
  if (peak <= 0.0) return;
  const float gain = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
  for (float& v : sound.left) v *= gain;
  for (float& v : sound.right) v *= gain;
}

void fadeEdges(StereoBuffer& sound, double inSeconds, double outSeconds) {
  const size_t n = sound.frames();
  const size_t fin = std::min(n, framesFor(inSeconds)), fout = std::min(n, framesFor(outSeconds));
  for (size_t i = 0; i < n; ++i) {
    double g = 1.0;
    if (i < fin) g = std::min(g, static_cast<double>(i) / fin);
    if (i >= n - fout) g = std::min(g, static_cast<double>(n - 1 - i) / fout);
    sound.left[i] = static_cast<float>(sound.left[i] * g);
    sound.right[i] = static_cast<float>(sound.right[i] * g);
  }
}

SoundStats measure(const StereoBuffer& sound) {
  SoundStats s;
  double sumSquares = 0.0, sumL = 0.0, sumR = 0.0;
  for (size_t i = 0; i < sound.frames(); ++i) {
    const double l = sound.left[i], r = sound.right[i];
    s.peak = std::max({s.peak, std::fabs(l), std::fabs(r)});
    sumSquares += l * l + r * r;
    sumL += l;
    sumR += r;
  }
  if (sound.frames() > 0) {
    const double n = static_cast<double>(sound.frames());
    s.rms = std::sqrt(sumSquares / (2 * n));
    s.dcLeft = sumL / n;
    s.dcRight = sumR / n;
  }
  return s;
}

}  // namespace zt::assetgen
