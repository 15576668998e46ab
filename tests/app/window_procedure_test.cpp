#include "app/window_procedure.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

using Kind = WindowMessage::Kind;

// What the procedure does and what the backends are told it answers must
// agree: a message the game answers never reaches the default handling.
WindowRequest answer(const WindowMessage& message, KeyState& keys, bool& quit) {
  const WindowRequest request = windowProcedure(message, keys, quit);
  EXPECT_EQ(gameAnswers(message), request != WindowRequest::Default);
  return request;
}

TEST(WindowProcedure, DestroyEndsTheLoopAndCommandsAskTheWindow) {
  KeyState keys;
  bool quit = false;
  EXPECT_EQ(answer({Kind::Command, kCommandAbout}, keys, quit), WindowRequest::RunAboutBox);
  EXPECT_EQ(answer({Kind::Command, 4242}, keys, quit), WindowRequest::Default);
  // Exit asks for the window's end; only its destroy message ends the loop.
  EXPECT_EQ(answer({Kind::Command, kCommandExit}, keys, quit), WindowRequest::DestroyWindow);
  EXPECT_FALSE(quit);
  EXPECT_EQ(answer({Kind::Destroy, 0}, keys, quit), WindowRequest::Handled);
  EXPECT_TRUE(quit);
}

TEST(WindowProcedure, KeysAreAllAnsweredAndTheRestIsTheSystems) {
  KeyState keys;
  bool quit = false;
  EXPECT_EQ(answer({Kind::KeyDown, kVkRight}, keys, quit), WindowRequest::Handled);
  EXPECT_EQ(keys.currentKeys[kKeyRight], 1.0f);
  EXPECT_FALSE(keys.keysSettled);
  // A key the game ignores is still answered here, never passed on.
  EXPECT_EQ(answer({Kind::KeyUp, 0x70}, keys, quit), WindowRequest::Handled);
  EXPECT_EQ(answer({Kind::KeyUp, kVkRight}, keys, quit), WindowRequest::Handled);
  EXPECT_EQ(keys.currentKeys[kKeyRight], 0.0f);
  EXPECT_EQ(keys.previousKeys[kKeyRight], 1.0f);
  EXPECT_EQ(answer({Kind::Other, 0}, keys, quit), WindowRequest::Default);
  EXPECT_FALSE(quit);
}

}  // namespace
}  // namespace zt
