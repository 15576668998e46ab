#include "app/window_procedure.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/frame_loop.h"
#include "app/keys.h"

namespace zt {
namespace {

// Records what the shared window procedure asks of the backend.
class RecordingPlatform : public Platform {
 public:
  bool pumpOneMessage() override { return false; }
  void swapBuffers() override {}
  int64_t counter() override { return 0; }
  double counterFrequency() override { return 1.0; }
  void runAboutBox() override { calls.push_back("about"); }
  void validatePaint() override { calls.push_back("paint"); }
  void destroyWindow() override {
    calls.push_back("destroy");
    windowProcedure(*this, {WindowMessage::Kind::Destroy, 0});
  }
  void postQuitMessage(int32_t code) override { calls.push_back("quit " + std::to_string(code)); }
  WaveDevice* waveDevice() override { return nullptr; }

  std::vector<std::string> calls;
};

using Kind = WindowMessage::Kind;

TEST(WindowProcedure, DestroyPostsQuitAndEndsTheLoop) {
  RecordingPlatform platform;
  quitRequested = false;
  EXPECT_EQ(windowProcedure(platform, {Kind::Destroy, 0}), MessageResult::Handled);
  EXPECT_TRUE(quitRequested);
  EXPECT_EQ(platform.calls, std::vector<std::string>{"quit 0"});
  quitRequested = false;
}

TEST(WindowProcedure, CommandsOpenTheAboutBoxOrCloseTheWindow) {
  RecordingPlatform platform;
  quitRequested = false;
  EXPECT_EQ(windowProcedure(platform, {Kind::Command, kCommandAbout}), MessageResult::Handled);
  EXPECT_FALSE(quitRequested);
  EXPECT_EQ(windowProcedure(platform, {Kind::Command, 4242}), MessageResult::Default);
  EXPECT_EQ(windowProcedure(platform, {Kind::Command, kCommandExit}), MessageResult::Handled);
  EXPECT_TRUE(quitRequested);
  EXPECT_EQ(platform.calls, (std::vector<std::string>{"about", "destroy", "quit 0"}));
  quitRequested = false;
}

TEST(WindowProcedure, PaintOnlyValidatesAndKeysAreAllAnswered) {
  RecordingPlatform platform;
  resetKeys();
  EXPECT_EQ(windowProcedure(platform, {Kind::Paint, 0}), MessageResult::Handled);
  EXPECT_EQ(windowProcedure(platform, {Kind::KeyDown, kVkRight}), MessageResult::Handled);
  EXPECT_EQ(currentKeys[kKeyRight], 1.0f);
  EXPECT_FALSE(keysSettled);
  // A key the game ignores is still answered here, never passed on.
  EXPECT_EQ(windowProcedure(platform, {Kind::KeyUp, 0x70}), MessageResult::Handled);
  EXPECT_EQ(windowProcedure(platform, {Kind::KeyUp, kVkRight}), MessageResult::Handled);
  EXPECT_EQ(currentKeys[kKeyRight], 0.0f);
  EXPECT_EQ(previousKeys[kKeyRight], 1.0f);
  EXPECT_EQ(windowProcedure(platform, {Kind::Other, 0}), MessageResult::Default);
  EXPECT_EQ(platform.calls, std::vector<std::string>{"paint"});
}

}  // namespace
}  // namespace zt
