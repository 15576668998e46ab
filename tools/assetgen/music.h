#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace zt::assetgen {

// One note or rest of a written line, in sixteenth-note steps.
struct NoteEvent {
  int step = 0;
  int length = 0;
  int midi = -1;  // -1 for a rest
};

// Reads a line such as "E5:4 A5:2 -:2 | G#4:8 Bb4:8 |". Each token is a
// note name with octave (or "-" for a rest), a colon and a length in
// sixteenths; "|" ends a bar, and every bar must come to exactly 16 steps.
// Throws std::invalid_argument on anything else.
std::vector<NoteEvent> parseLine(const std::string& line);

// The pieces and sound effects, each complete and scaled for the game.
StereoBuffer titleMusic();  // loops; the mixer wraps straight to frame 0
StereoBuffer levelMusic();  // loops
StereoBuffer mistakeSound();
StereoBuffer acceptSound();
StereoBuffer gameOverSound();

// Frames in one pass of each loop, for checks.
size_t titleMusicFrames();
size_t levelMusicFrames();

}  // namespace zt::assetgen
