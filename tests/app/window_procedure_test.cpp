#include "app/window_procedure.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/keys.h"

namespace zt {
namespace {

using Kind = WindowMessage::Kind;

// Records what the window procedure asks of the backend, and hands the
// messages the backend delivers to the procedure, as the game does.
class RecordingPlatform : public Platform, public MessageSink {
 public:
  RecordingPlatform() { attach(this); }
  bool pumpOneMessage() override { return false; }
  void swapBuffers() override {}
  int64_t counter() override { return 0; }
  double counterFrequency() override { return 1.0; }
  void runAboutBox() override { calls.push_back("about"); }
  void destroyWindow() override {
    calls.push_back("destroy");
    Platform::destroyWindow();
  }
  WaveDevice* waveDevice() override { return nullptr; }
  MessageResult handleMessage(const WindowMessage& message) override {
    return windowProcedure(message, keys, quitRequested, *this);
  }

  KeyState keys;
  bool quitRequested = false;
  std::vector<std::string> calls;
};

TEST(WindowProcedure, DestroyEndsTheLoop) {
  RecordingPlatform platform;
  EXPECT_EQ(platform.handleMessage({Kind::Destroy, 0}), MessageResult::Handled);
  EXPECT_TRUE(platform.quitRequested);
  EXPECT_TRUE(platform.calls.empty());
}

TEST(WindowProcedure, CommandsOpenTheAboutBoxOrCloseTheWindow) {
  RecordingPlatform platform;
  EXPECT_EQ(platform.handleMessage({Kind::Command, kCommandAbout}), MessageResult::Handled);
  EXPECT_FALSE(platform.quitRequested);
  EXPECT_EQ(platform.handleMessage({Kind::Command, 4242}), MessageResult::Default);
  // Exit destroys the window, whose destroy message then ends the loop.
  EXPECT_EQ(platform.handleMessage({Kind::Command, kCommandExit}), MessageResult::Handled);
  EXPECT_TRUE(platform.quitRequested);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"about", "destroy"}));
}

TEST(WindowProcedure, KeysAreAllAnsweredAndTheRestIsTheSystems) {
  RecordingPlatform platform;
  KeyState& keys = platform.keys;
  EXPECT_EQ(platform.handleMessage({Kind::KeyDown, kVkRight}), MessageResult::Handled);
  EXPECT_EQ(keys.currentKeys[kKeyRight], 1.0f);
  EXPECT_FALSE(keys.keysSettled);
  // A key the game ignores is still answered here, never passed on.
  EXPECT_EQ(platform.handleMessage({Kind::KeyUp, 0x70}), MessageResult::Handled);
  EXPECT_EQ(platform.handleMessage({Kind::KeyUp, kVkRight}), MessageResult::Handled);
  EXPECT_EQ(keys.currentKeys[kKeyRight], 0.0f);
  EXPECT_EQ(keys.previousKeys[kKeyRight], 1.0f);
  EXPECT_EQ(platform.handleMessage({Kind::Other, 0}), MessageResult::Default);
  EXPECT_TRUE(platform.calls.empty());

  // Without a game attached every message goes to the default handling.
  platform.attach(nullptr);
  EXPECT_FALSE(platform.quitRequested);
  platform.destroyWindow();
  EXPECT_FALSE(platform.quitRequested);
}

}  // namespace
}  // namespace zt
