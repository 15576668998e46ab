#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "app/pad_keys.h"
#include "app/platform.h"

namespace zt {

// Every input of the page as the game's keys, decided here and nowhere
// else: the keyboard's keys by where they are (the DOM's `code`), a finger
// on the picture as D and on the quit control as Escape, and the buttons of
// the pads (the Gamepad API's standard mapping) as the desktop reads them.
// Each is a source of the same three keys, merged as several pads are: a
// key goes down when the first source holds it and up when the last lets
// go, so two fingers, a finger and D, or a pad and D never give a second
// press nor leave a key held. The game and its recordings see only keys.
class PageInput {
 public:
  // What the page does with a key event once it has been decided here.
  enum class KeyUse {
    Browser,     // not the game's: the browser keeps its meaning
    Game,        // the game's: kept from the browser
    FullScreen,  // the window's own: full screen, or back
  };
  // Modifier bits the page passes with a key.
  static constexpr uint32_t kAlt = 1, kControl = 2, kMeta = 4;
  // Where a touch is: on the game's picture, or on the page's quit control.
  enum class Control { Picture = 0, Quit = 1 };

  // Each appends the game's messages it brings about.
  KeyUse key(bool down, const char* code, const char* key, uint32_t modifiers,
             std::vector<WindowMessage>& messages);
  // A pointer (a finger, a pen) put down on a control or lifted from it;
  // `id` is the pointer's.
  void touch(int32_t id, bool down, Control control, std::vector<WindowMessage>& messages);
  // The pads as they are now; once a frame.
  void readPads(std::vector<WindowMessage>& messages);
  // Lets go of everything held: the page was left.
  void letGo(std::vector<WindowMessage>& messages);
  // Pads are read only while the page is played (it has the focus): one
  // left behind does not press keys in it.
  void setReadingPads(bool reading) { readingPads_ = reading; }

 private:
  // The sources PadKeys merges: the pads by their index (0 to 3), and these.
  enum Source : int32_t { kKeyboard = -1, kPicture = -2, kQuitControl = -3 };

  PadKeys keys_;
  uint8_t keyboard_ = 0;  // the keyboard's held keys, as a PadButton mask
  std::set<int32_t> onPicture_, onQuit_;
  bool readingPads_ = true;
};

}  // namespace zt
