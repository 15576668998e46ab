#pragma once

#include <cstdint>
#include <vector>

#include "core/keys.h"

namespace zt {

class WaveDevice;

// A window message in the game's terms. The backends turn their system's
// events into these; the game's window procedure decides what they do.
struct WindowMessage {
  enum class Kind { Destroy, KeyDown, KeyUp, Command, Other };
  Kind kind = Kind::Other;
  uint32_t code = 0;  // virtual-key code for keys, command id for commands
};

// Commands of the window: the About box and Exit.
constexpr uint32_t kCommandAbout = 104;
constexpr uint32_t kCommandExit = 105;

// What every backend gives the game: its window's message queue, showing a
// finished frame, the clock, the About box and the wave device. The game
// calls down into it and is never called back: messages come back as the
// pump's result, and what they mean is the game's (Game::handleMessage).
class Platform {
 public:
  virtual ~Platform() = default;

  // Takes at most one message from the window's queue without waiting and
  // appends to `taken` the game's messages it turned into (none for what is
  // the window's own business, usually one). True when one was taken.
  virtual bool pumpOneMessage(std::vector<WindowMessage>& taken) = 0;
  // Shows the frame the display has just finished (the buffer swap).
  virtual void showFrame() = 0;
  // The performance counter and its ticks per second.
  virtual int64_t counter() = 0;
  virtual double counterFrequency() = 0;
  // The About box, modal: returns when it is closed.
  virtual void runAboutBox() = 0;
  // Destroys the window (the Exit command). The game ends the loop itself;
  // the destroy message this brings about is not handed back.
  virtual void destroyWindow() {}
  // The device the mixer writes to, or null when there is none.
  virtual WaveDevice* waveDevice() = 0;
};

}  // namespace zt
