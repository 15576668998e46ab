#pragma once

#include <cstdint>

namespace zt {

class WaveDevice;

// A window message in the game's terms. The backends turn their system's
// events into these; the shared window procedure decides what they do.
struct WindowMessage {
  enum class Kind { Destroy, Paint, KeyDown, KeyUp, Command, Other };
  Kind kind = Kind::Other;
  uint32_t code = 0;  // virtual-key code for keys, command id for commands
};

// Virtual-key codes of the three keys the game reads.
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkD = 0x44;
constexpr uint32_t kVkEscape = 0x1B;

// Commands of the window: the About box and Exit.
constexpr uint32_t kCommandAbout = 104;
constexpr uint32_t kCommandExit = 105;

// What a backend gives the shared game: its window's message queue, buffer
// swap, clock, About box and wave device. Everything the messages mean lives
// in the shared code (app/window_procedure.h).
class Platform {
 public:
  virtual ~Platform() = default;

  // Frame step 4: take at most one message from the queue without waiting
  // and, unless an accelerator translates it, dispatch it to the window
  // procedure (which ends in windowProcedure()). True when one was taken.
  virtual bool pumpOneMessage() = 0;

  // Shows the finished frame (after glFinish).
  virtual void swapBuffers() = 0;

  // The performance counter and its ticks per second.
  virtual int64_t counter() = 0;
  virtual double counterFrequency() = 0;

  // The About box, modal: returns when it is closed.
  virtual void runAboutBox() = 0;
  // Validates the window after a paint message (no drawing happens there).
  virtual void validatePaint() {}
  // Destroys the window; a Destroy message follows.
  virtual void destroyWindow() = 0;
  // Posts the quit message with this code.
  virtual void postQuitMessage(int32_t /*code*/) {}

  // The device the mixer writes to, or null when there is none.
  virtual WaveDevice* waveDevice() = 0;

  // Hooks for the headless runner, called by the frame loop: before each
  // frame's work, and after its message step. Returning false from
  // afterFrame ends the loop as if the window had been closed.
  virtual void beforeFrame(uint64_t /*frame*/) {}
  virtual bool afterFrame(uint64_t /*frame*/) { return true; }
};

}  // namespace zt
