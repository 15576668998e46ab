#pragma once

#include <string>

#include "core/id_counter.h"

namespace zt {

class Image;
class Font;
struct SoundClip;
class SpeakerInterface;
class Store;

// What the assembly loaded; any picture may be null (it then shows nothing).
// Plain pointers: the game's store owns them.
struct GameResources {
  Image* derivative1 = nullptr;
  Image* derivative2 = nullptr;
  Image* trollidian1 = nullptr;
  Image* trollidian2 = nullptr;
  Image* progress = nullptr;
  Image* progressBar = nullptr;
  Image* panel = nullptr;
  Image* title = nullptr;
  Image* titleBackground = nullptr;
  Image* gameOver = nullptr;
  Font* font = nullptr;
  SoundClip* titleMusic = nullptr;
  SoundClip* gameMusic = nullptr;
  SoundClip* death = nullptr;
  SoundClip* accept = nullptr;
  SoundClip* gameOverSound = nullptr;
};

// The assembly's loading: the ten pictures, the font and the five clips
// from base + "resources/", in that order (so their ids follow it), kept in
// the store. A picture that fails to load is null; a clip, silent.
GameResources loadGameResources(Store& store, RunningIds& ids, SpeakerInterface& speaker,
                                const std::string& base);
// What loading makes when every file is missing, without looking: no
// pictures, a font without glyphs, five silent clips.
GameResources missingGameResources(Store& store, RunningIds& ids, SpeakerInterface& speaker);

}  // namespace zt
