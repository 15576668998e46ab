#include "music.h"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace zt::assetgen {

namespace {

constexpr int kStepsPerBar = 16;

int pitchClass(char letter) {
  switch (letter) {
    case 'C':
      return 0;
    case 'D':
      return 2;
    case 'E':
      return 4;
    case 'F':
      return 5;
    case 'G':
      return 7;
    case 'A':
      return 9;
    case 'B':
      return 11;
    default:
      throw std::invalid_argument(std::string("not a note letter: ") + letter);
  }
}

// "G#4" -> 68. Reads a letter, an optional sharp or flat and an octave.
int parseNoteName(const std::string& name) {
  if (name.empty()) throw std::invalid_argument("empty note name");
  size_t i = 0;
  int pc = pitchClass(name[i++]);
  if (i < name.size() && name[i] == '#')
    pc += 1, ++i;
  else if (i < name.size() && name[i] == 'b')
    pc -= 1, ++i;
  if (i >= name.size() || name.find_first_not_of("0123456789", i) != std::string::npos)
    throw std::invalid_argument("bad octave in note " + name);
  return 12 * (std::stoi(name.substr(i)) + 1) + pc;
}

// A chord symbol: root letter, optional sharp or flat, 'm' for minor and
// '7' for a minor seventh on top.
struct Chord {
  int root = 0;  // pitch class
  bool minor = false;
  bool seventh = false;

  // Chord tone by scale degree above the root: 1, 3, 5, 7 and their
  // octaves 8, 10, 12 (7 is the octave when the chord has no seventh).
  int tone(int degree, int octave) const {
    const int base = 12 * (octave + 1) + root;
    const int third = minor ? 3 : 4;
    switch (degree) {
      case 1:
        return base;
      case 3:
        return base + third;
      case 5:
        return base + 7;
      case 7:
        return base + (seventh ? 10 : 12);
      case 8:
        return base + 12;
      case 10:
        return base + 12 + third;
      case 12:
        return base + 19;
      default:
        throw std::invalid_argument("unknown chord degree " + std::to_string(degree));
    }
  }
};

Chord parseChord(const std::string& symbol) {
  Chord c;
  size_t i = 0;
  c.root = (pitchClass(symbol.at(i++)) + 12) % 12;
  if (i < symbol.size() && symbol[i] == '#')
    c.root = (c.root + 1) % 12, ++i;
  else if (i < symbol.size() && symbol[i] == 'b')
    c.root = (c.root + 11) % 12, ++i;
  if (i < symbol.size() && symbol[i] == 'm') c.minor = true, ++i;
  if (i < symbol.size() && symbol[i] == '7') c.seventh = true, ++i;
  if (i != symbol.size()) throw std::invalid_argument("bad chord " + symbol);
  return c;
}

std::vector<Chord> parseChords(const std::string& text) {
  std::istringstream in(text);
  std::vector<Chord> chords;
  for (std::string symbol; in >> symbol;)
    if (symbol != "|") chords.push_back(parseChord(symbol));
  return chords;
}

// "1:2 8:2 5:4 ..." for one bar: chord degrees with lengths, 16 steps.
std::vector<std::pair<int, int>> parseDegreeBar(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::pair<int, int>> out;
  int total = 0;
  for (std::string token; in >> token;) {
    const size_t colon = token.find(':');
    if (colon == std::string::npos) throw std::invalid_argument("bad bass token " + token);
    const int length = std::stoi(token.substr(colon + 1));
    out.push_back({token[0] == '-' ? 0 : std::stoi(token.substr(0, colon)), length});
    total += length;
  }
  if (total != kStepsPerBar)
    throw std::invalid_argument("bass bar of " + std::to_string(total) + " steps: " + text);
  return out;
}

struct Arrangement {
  size_t stepFrames;
  int bars;
  size_t tailFrames;
  StereoBuffer mix;
  std::vector<float> reverbSend;
  std::vector<float> delaySend;

  Arrangement(size_t step, int barCount, double tailSeconds)
      : stepFrames(step),
        bars(barCount),
        tailFrames(static_cast<size_t>(tailSeconds * kSampleRate)),
        mix(loopFrames() + tailFrames),
        reverbSend(mix.frames(), 0.0f),
        delaySend(mix.frames(), 0.0f) {}

  size_t loopFrames() const { return stepFrames * kStepsPerBar * bars; }

  // A chord chart must give one chord for every bar of the piece.
  void checkChart(const std::vector<Chord>& chords) const {
    if (chords.size() != static_cast<size_t>(bars))
      throw std::invalid_argument("chord chart of " + std::to_string(chords.size()) +
                                  " bars for a " + std::to_string(bars) + "-bar piece");
  }
  double stepSeconds() const { return static_cast<double>(stepFrames) / kSampleRate; }

  void place(size_t start, const std::vector<float>& sound, double gain, double pan,
             double reverb = 0.0, double delay = 0.0) {
    mix.addMono(start, sound, gain, pan);
    for (size_t i = 0; i < sound.size() && start + i < mix.frames(); ++i) {
      reverbSend[start + i] += static_cast<float>(reverb * gain) * sound[i];
      delaySend[start + i] += static_cast<float>(delay * gain) * sound[i];
    }
  }

  void note(const Instrument& ins, int step, int length, int midi, double velocity, double gain,
            double pan, double reverb = 0.0, double delay = 0.0, double legato = 0.9) {
    const auto sound =
        renderNote(ins, noteFrequency(midi), length * stepSeconds() * legato, velocity);
    place(static_cast<size_t>(step) * stepFrames, sound, gain, pan, reverb, delay);
  }

  // A written line starting at bar `firstBar` (0-based).
  void line(const Instrument& ins, const std::string& text, int firstBar, double gain, double pan,
            double reverb = 0.0, double delay = 0.0, int transpose = 0) {
    for (const NoteEvent& e : parseLine(text))
      if (e.midi >= 0)
        note(ins, firstBar * kStepsPerBar + e.step, e.length, e.midi + transpose, 1.0, gain, pan,
             reverb, delay);
  }

  // One bass figure per bar, on each bar's chord.
  void bass(const Instrument& ins, const std::vector<Chord>& chords,
            const std::vector<std::string>& figures, int octave, double gain) {
    checkChart(chords);
    for (size_t bar = 0; bar < chords.size(); ++bar) {
      int step = static_cast<int>(bar) * kStepsPerBar;
      for (auto [degree, length] : parseDegreeBar(figures[bar % figures.size()])) {
        if (degree != 0) {
          const double accent = step % 4 == 0 ? 1.0 : 0.8;
          note(ins, step, length, chords[bar].tone(degree, octave), accent, gain, 0.0, 0.05, 0.0,
               0.8);
        }
        step += length;
      }
    }
  }

  // Sixteenth-note broken chords, bouncing between the sides.
  void arpeggio(const Instrument& ins, const std::vector<Chord>& chords,
                const std::vector<int>& degrees, int octave, double gain, int fromBar, int toBar) {
    checkChart(chords);
    for (int bar = fromBar; bar < toBar; ++bar)
      for (int s = 0; s < kStepsPerBar; ++s) {
        const int degree = degrees[s % degrees.size()];
        const double accent = s % 4 == 0 ? 1.0 : 0.75;
        note(ins, bar * kStepsPerBar + s, 1, chords[bar].tone(degree, octave), accent, gain,
             s % 2 ? 0.45 : -0.45, 0.25, 0.0, 0.7);
      }
  }

  // Held chords, one per bar.
  void pad(const Instrument& ins, const std::vector<Chord>& chords, int octave, double gain,
           int fromBar, int toBar) {
    checkChart(chords);
    for (int bar = fromBar; bar < toBar; ++bar) {
      const int degrees[3] = {1, 3, 5};
      for (int i = 0; i < 3; ++i)
        note(ins, bar * kStepsPerBar, kStepsPerBar, chords[bar].tone(degrees[i], octave), 1.0, gain,
             -0.5 + 0.5 * i, 0.6, 0.0, 0.95);
    }
  }

  struct DrumBar {
    const char* kick;
    const char* snare;
    const char* hat;  // 'x' closed, 'o' open, '-' soft closed
    bool crash;
  };

  void drums(const std::vector<DrumBar>& bars, double level) {
    uint32_t seed = 1;
    for (size_t bar = 0; bar < bars.size(); ++bar) {
      const DrumBar& d = bars[bar];
      const size_t barStart = bar * kStepsPerBar * stepFrames;
      if (d.crash) place(barStart, crashCymbal(1.0, seed++), 0.5 * level, -0.35, 0.3);
      for (int s = 0; s < kStepsPerBar; ++s) {
        const size_t at = barStart + s * stepFrames;
        if (d.kick[s] == 'x') place(at, kickDrum(1.0), 0.9 * level, 0.0);
        if (d.snare[s] == 'x') place(at, snareDrum(1.0, seed++), 0.55 * level, 0.05, 0.25);
        if (d.snare[s] == 'o') place(at, snareDrum(0.45, seed++), 0.55 * level, 0.05, 0.15);
        if (d.hat[s] == 'x') place(at, hiHat(1.0, false, seed++), 0.5 * level, 0.3);
        if (d.hat[s] == '-') place(at, hiHat(0.55, false, seed++), 0.5 * level, 0.3);
        if (d.hat[s] == 'o') place(at, hiHat(0.9, true, seed++), 0.45 * level, -0.25);
      }
    }
  }

  // Effects, loop folding and level: the finished loop.
  StereoBuffer finish(size_t delayFrames, double delayFeedback, double reverbWet, double peakDb) {
    addPingPongDelay(mix, delaySend, delayFrames, delayFeedback);
    addReverb(mix, reverbSend, reverbWet);
    highPass(mix.left, 25.0);
    highPass(mix.right, 25.0);
    foldLoop(mix, loopFrames());
    normalise(mix, peakDb);
    return std::move(mix);
  }
};

// Music peaks well under full scale so a sound effect on top of it cannot
// clip the mixer's sum.
constexpr double kMusicPeakDb = -6.5;

// 126 beats a minute: 5250 frames a sixteenth, a whole number, so bars
// never drift against the loop length.
constexpr size_t kTitleStep = 5250;
constexpr int kTitleBars = 16;
// 140 beats a minute: 4725 frames a sixteenth.
constexpr size_t kLevelStep = 4725;
constexpr int kLevelBars = 32;

}  // namespace

std::vector<NoteEvent> parseLine(const std::string& line) {
  std::istringstream in(line);
  std::vector<NoteEvent> events;
  int step = 0, barStart = 0;
  for (std::string token; in >> token;) {
    if (token == "|") {
      if (step - barStart != kStepsPerBar)
        throw std::invalid_argument("bar ending at step " + std::to_string(step) + " has " +
                                    std::to_string(step - barStart) + " steps");
      barStart = step;
      continue;
    }
    const size_t colon = token.find(':');
    if (colon == std::string::npos || colon + 1 >= token.size())
      throw std::invalid_argument("note without length: " + token);
    const std::string lengthText = token.substr(colon + 1);
    if (lengthText.find_first_not_of("0123456789") != std::string::npos)
      throw std::invalid_argument("bad length in " + token);
    const int length = std::stoi(lengthText);
    if (length <= 0) throw std::invalid_argument("empty note " + token);
    const std::string name = token.substr(0, colon);
    events.push_back({step, length, name == "-" ? -1 : parseNoteName(name)});
    step += length;
  }
  if (step != barStart) throw std::invalid_argument("line does not end with a full bar");
  return events;
}

size_t titleMusicFrames() {
  return kTitleStep * kStepsPerBar * kTitleBars;
}
size_t levelMusicFrames() {
  return kLevelStep * kStepsPerBar * kLevelBars;
}

StereoBuffer titleMusic() {
  Arrangement a(kTitleStep, kTitleBars, 4.0);
  const auto chords = parseChords("Am F C G Am F E E | F G Em Am Dm G C E");

  Instrument lead;
  lead.wave = Wave::Square;
  lead.duty = 0.25;
  lead.attack = 0.004;
  lead.decay = 0.25;
  lead.sustain = 0.55;
  lead.release = 0.08;
  lead.cutoff = 3200;
  lead.cutoffPeak = 6500;
  lead.cutoffDecay = 0.12;
  lead.vibratoDepth = 0.15;
  lead.vibratoDelay = 0.2;
  a.line(lead,
         "E5:4 A5:2 G5:2 E5:4 D5:2 C5:2 | C5:4 D5:2 C5:2 A4:6 -:2 | "
         "G4:2 C5:2 E5:2 G5:2 E5:4 C5:2 D5:2 | D5:6 B4:2 G4:4 -:4 | "
         "E5:4 A5:2 B5:2 C6:4 B5:2 A5:2 | A5:4 G5:2 F5:2 E5:4 C5:4 | "
         "B4:2 C5:2 D5:2 E5:2 G#5:4 E5:4 | B5:6 A5:2 G#5:4 -:4 | "
         "A5:6 G5:2 F5:4 C5:4 | D5:6 E5:2 G5:4 D5:4 | "
         "E5:4 G5:2 B5:2 A5:4 G5:4 | A5:8 E5:4 C5:4 | "
         "D5:4 F5:2 A5:2 C6:4 A5:4 | B5:4 A5:2 G5:2 D5:4 B4:4 | "
         "C5:4 E5:2 G5:2 C6:4 G5:4 | G#5:4 B5:4 E5:4 D5:2 B4:2 |",
         0, 0.2, 0.1, 0.3, 0.22);

  Instrument bass;
  bass.wave = Wave::Saw;
  bass.attack = 0.003;
  bass.decay = 0.12;
  bass.sustain = 0.6;
  bass.release = 0.04;
  bass.cutoff = 450;
  bass.cutoffPeak = 2200;
  bass.cutoffDecay = 0.05;
  bass.resonance = 1.1;
  a.bass(bass, chords, {"1:2 1:2 8:2 1:2 5:2 1:2 8:2 5:2"}, 2, 0.42);

  Instrument arp;
  arp.wave = Wave::Square;
  arp.duty = 0.125;
  arp.attack = 0.002;
  arp.decay = 0.05;
  arp.sustain = 0.0;
  arp.release = 0.03;
  arp.cutoff = 3000;
  arp.cutoffPeak = 3000;
  a.arpeggio(arp, chords, {1, 3, 5, 8, 10, 8, 5, 3}, 4, 0.09, 0, kTitleBars);

  Instrument pad;
  pad.wave = Wave::Saw;
  pad.detuneCents = 12;
  pad.attack = 0.25;
  pad.decay = 1.0;
  pad.sustain = 0.8;
  pad.release = 0.35;
  pad.cutoff = 1100;
  pad.cutoffPeak = 1100;
  a.pad(pad, chords, 3, 0.045, 8, kTitleBars);

  using D = Arrangement::DrumBar;
  const D groove{"x.....x.x.......", "....x.......x...", "x-x-x-x-x-x-x-o-", false};
  const D grooveCrash{groove.kick, groove.snare, groove.hat, true};
  const D fill{"x.....x.x.......", "....x...x.x.xoxx", "x-x-x-x-x-x.....", false};
  std::vector<D> drumBars;
  for (int bar = 0; bar < kTitleBars; ++bar)
    drumBars.push_back(bar % 8 == 7 ? fill : bar % 8 == 0 ? grooveCrash : groove);
  a.drums(drumBars, 1.0);

  return a.finish(3 * kTitleStep, 0.35, 0.9, kMusicPeakDb);
}

StereoBuffer levelMusic() {
  Arrangement a(kLevelStep, kLevelBars, 4.0);
  const auto chords = parseChords(
      "Em C D B | Em C G D Em C B B | Am D G Em Am B Em B | Em C G D Em C B B | C D B B");

  Instrument lead;
  lead.wave = Wave::Saw;
  lead.detuneCents = 7;
  lead.attack = 0.005;
  lead.decay = 0.3;
  lead.sustain = 0.7;
  lead.release = 0.09;
  lead.cutoff = 2600;
  lead.cutoffPeak = 5200;
  lead.cutoffDecay = 0.15;
  lead.vibratoDepth = 0.2;
  lead.vibratoDelay = 0.22;
  const std::string themeA =
      "E5:3 F#5:3 G5:2 B5:4 A5:2 G5:2 | G5:3 E5:3 C5:2 E5:4 G5:4 | "
      "D5:3 G5:3 B5:2 D6:4 B5:2 A5:2 | A5:6 F#5:2 D5:4 -:4 | "
      "E5:3 F#5:3 G5:2 B5:4 E6:2 D6:2 | C6:3 B5:3 G5:2 E5:4 G5:4 | "
      "F#5:3 A5:3 B5:2 D#6:4 B5:2 A5:2 | F#5:8 D#5:4 B4:4 |";
  const std::string themeB =
      "C6:4 B5:2 A5:2 E5:4 A5:4 | F#5:4 E5:2 D5:2 A4:4 D5:4 | "
      "B5:4 A5:2 G5:2 D5:4 G5:4 | E5:6 F#5:2 G5:4 B5:4 | "
      "A5:4 C6:2 E6:2 D6:4 C6:4 | B5:4 A5:2 F#5:2 D#5:4 F#5:4 | "
      "G5:4 F#5:2 E5:2 B4:4 E5:4 | F#5:6 G5:2 A5:4 B5:4 |";
  const std::string outro =
      "E5:2 G5:2 C6:4 B5:4 G5:4 | F#5:2 A5:2 D6:4 C6:4 A5:4 | "
      "B5:4 A5:4 F#5:4 D#5:4 | B4:4 -:12 |";
  a.line(lead, themeA, 4, 0.17, 0.0, 0.3, 0.2);
  a.line(lead, themeB, 12, 0.17, 0.0, 0.3, 0.2);
  a.line(lead, themeA, 20, 0.17, 0.0, 0.3, 0.2);
  a.line(lead, outro, 28, 0.17, 0.0, 0.3, 0.2);

  // Second time through the theme, a slow line beneath it.
  Instrument second;
  second.wave = Wave::Triangle;
  second.attack = 0.02;
  second.decay = 0.4;
  second.sustain = 0.75;
  second.release = 0.15;
  second.vibratoDepth = 0.12;
  a.line(second,
         "B4:8 G4:8 | G4:8 E4:8 | D5:8 B4:8 | A4:8 F#4:8 | "
         "B4:8 E5:8 | E5:8 C5:8 | D#5:8 F#5:8 | D#5:16 |",
         20, 0.2, -0.4, 0.4);

  Instrument bass;
  bass.wave = Wave::Square;
  bass.attack = 0.002;
  bass.decay = 0.1;
  bass.sustain = 0.5;
  bass.release = 0.03;
  bass.cutoff = 600;
  bass.cutoffPeak = 2600;
  bass.cutoffDecay = 0.04;
  a.bass(bass, chords, {"1:2 1:1 1:1 8:2 1:2 1:2 1:1 1:1 5:2 8:2"}, 2, 0.36);

  Instrument pluck;
  pluck.wave = Wave::Saw;
  pluck.attack = 0.001;
  pluck.decay = 0.06;
  pluck.sustain = 0.0;
  pluck.release = 0.03;
  pluck.cutoff = 900;
  pluck.cutoffPeak = 4500;
  pluck.cutoffDecay = 0.03;
  a.arpeggio(pluck, chords, {1, 5, 8, 5, 10, 5, 8, 5}, 4, 0.075, 0, kLevelBars);

  using D = Arrangement::DrumBar;
  const D intro{"x...x...x...x...", "................", "--x---x---x---x-", false};
  const D groove{"x...x...x...x...", "....x.......x...", "x-o-x-o-x-o-x-o-", false};
  const D grooveCrash{groove.kick, groove.snare, groove.hat, true};
  const D fill{"x...x...x...x...", "....x...x.xoxxxx", "x-o-x-o-x-------", false};
  std::vector<D> drumBars;
  for (int bar = 0; bar < kLevelBars; ++bar) {
    if (bar < 4)
      drumBars.push_back(bar == 3 ? fill : intro);
    else if (bar % 8 == 3)
      drumBars.push_back(fill);
    else
      drumBars.push_back(bar % 8 == 4 ? grooveCrash : groove);
  }
  a.drums(drumBars, 1.0);

  return a.finish(3 * kLevelStep, 0.3, 0.8, kMusicPeakDb);
}

StereoBuffer mistakeSound() {
  StereoBuffer s(static_cast<size_t>(0.75 * kSampleRate));
  // Two buzzing voices a tritone apart dive three octaves, wobbling.
  Instrument dive;
  dive.wave = Wave::Square;
  dive.attack = 0.003;
  dive.decay = 0.4;
  dive.sustain = 0.6;
  dive.release = 0.12;
  dive.cutoff = 700;
  dive.cutoffPeak = 4000;
  dive.cutoffDecay = 0.25;
  dive.slideFrom = 36;
  dive.slideTime = 0.18;
  dive.vibratoDepth = 0.9;
  dive.vibratoRate = 15;
  dive.vibratoDelay = 0.0;
  s.addMono(0, renderNote(dive, noteFrequency(40), 0.56, 1.0), 0.5, -0.2);
  Instrument buzz = dive;
  buzz.wave = Wave::Saw;
  s.addMono(0, renderNote(buzz, noteFrequency(46), 0.56, 1.0), 0.35, 0.2);
  s.addMono(0, snareDrum(1.0, 77), 0.5, 0.0);
  highPass(s.left, 30.0);
  highPass(s.right, 30.0);
  normalise(s, -6.0);
  fadeEdges(s, 0.004, 0.03);
  return s;
}

StereoBuffer acceptSound() {
  StereoBuffer s(static_cast<size_t>(0.2 * kSampleRate));
  Instrument blip;
  blip.wave = Wave::Square;
  blip.duty = 0.25;
  blip.attack = 0.001;
  blip.decay = 0.05;
  blip.sustain = 0.5;
  blip.release = 0.04;
  blip.cutoff = 6000;
  blip.cutoffPeak = 6000;
  s.addMono(0, renderNote(blip, noteFrequency(83), 0.045, 1.0), 0.5, 0.0);  // B5
  s.addMono(static_cast<size_t>(0.055 * kSampleRate),
            renderNote(blip, noteFrequency(88), 0.08, 1.0), 0.5, 0.0);  // E6
  highPass(s.left, 30.0);
  highPass(s.right, 30.0);
  normalise(s, -7.0);
  fadeEdges(s, 0.003, 0.02);
  return s;
}

StereoBuffer gameOverSound() {
  StereoBuffer s(static_cast<size_t>(2.4 * kSampleRate));
  // "Wah, wah, wah, waaah": a falling line whose filter opens on each note.
  Instrument horn;
  horn.wave = Wave::Saw;
  horn.detuneCents = 6;
  horn.attack = 0.01;
  horn.decay = 0.3;
  horn.sustain = 0.8;
  horn.release = 0.12;
  horn.cutoff = 1900;
  horn.cutoffPeak = 250;
  horn.cutoffDecay = 0.09;
  horn.vibratoDepth = 0.0;
  Instrument last = horn;
  last.vibratoDepth = 0.35;
  last.vibratoRate = 6;
  last.vibratoDelay = 0.2;
  last.release = 0.35;
  const int notes[4] = {67, 66, 65, 64};  // G4, F#4, F4, E4
  Instrument low;
  low.wave = Wave::Triangle;
  low.attack = 0.01;
  low.decay = 0.3;
  low.sustain = 0.7;
  low.release = 0.3;
  for (int i = 0; i < 4; ++i) {
    const bool final = i == 3;
    const size_t at = static_cast<size_t>(i * 0.38 * kSampleRate);
    const double held = final ? 0.8 : 0.3;
    s.addMono(at, renderNote(final ? last : horn, noteFrequency(notes[i]), held, 1.0), 0.5, 0.0);
    s.addMono(at, renderNote(low, noteFrequency(notes[i] - 24), held, 1.0), 0.45, 0.0);
  }
  s.addMono(static_cast<size_t>(3 * 0.38 * kSampleRate), kickDrum(1.0), 0.5, 0.0);
  highPass(s.left, 30.0);
  highPass(s.right, 30.0);
  normalise(s, -4.5);
  fadeEdges(s, 0.004, 0.05);
  return s;
}

}  // namespace zt::assetgen
