#pragma once

#include <cstdint>

namespace zt {

class WaveDevice;

// A window message in the game's terms. The backends turn their system's
// events into these; the game's window procedure decides what they do.
struct WindowMessage {
  enum class Kind { Destroy, KeyDown, KeyUp, Command, Other };
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

// What the backend does after the game has seen a message.
enum class MessageResult { Handled, Default };

// Where a backend delivers the messages it translated.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Default means: give it to the system's default handling.
  virtual MessageResult handleMessage(const WindowMessage& message) = 0;
};

// What every backend gives the game: its window's message queue, the buffer
// swap, the clock, the About box and the wave device. What the messages
// mean is the game's (Game::handleMessage).
class Platform {
 public:
  virtual ~Platform() = default;

  // Takes at most one message from the window's queue without waiting and,
  // unless it is an accelerator's, delivers it (and whatever its handling
  // sends on) to the attached sink. True when one was taken.
  virtual bool pumpOneMessage() = 0;
  // Shows the finished frame.
  virtual void swapBuffers() = 0;
  // The performance counter and its ticks per second.
  virtual int64_t counter() = 0;
  virtual double counterFrequency() = 0;
  // The About box, modal: returns when it is closed.
  virtual void runAboutBox() = 0;
  // Destroys the window; its destroy message reaches the sink at once.
  virtual void destroyWindow() { deliver(WindowMessage{WindowMessage::Kind::Destroy, 0}); }
  // The device the mixer writes to, or null when there is none.
  virtual WaveDevice* waveDevice() = 0;

  // Where messages go from now on; null: to the default handling only.
  void attach(MessageSink* sink) { sink_ = sink; }

 protected:
  MessageResult deliver(const WindowMessage& message) {
    return sink_ ? sink_->handleMessage(message) : MessageResult::Default;
  }

 private:
  MessageSink* sink_ = nullptr;
};

}  // namespace zt
