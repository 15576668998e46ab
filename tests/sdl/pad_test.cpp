// Game controllers on the Linux program, through SDL's virtual joysticks:
// the backend's translation of a pad into the keys' messages, and a whole
// game played with a pad in the real program (under a virtual display),
// whose recording the runner then replays to its end.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#include "program/program.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "test_support.h"

namespace zt {
namespace {

using Kind = WindowMessage::Kind;

// A virtual pad that SDL takes for a game controller: its buttons are SDL's
// controller buttons by number.
struct VirtualPad {
  VirtualPad() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    index = SDL_JoystickAttachVirtualEx(&desc);
    joystick = SDL_JoystickOpen(index);
  }
  ~VirtualPad() { unplug(); }
  void press(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
  }
  void unplug() {
    if (!joystick) return;
    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(SDL_JoystickGetDeviceInstanceID(index) >= 0 ? index : 0);
    joystick = nullptr;
  }
  int index = -1;
  SDL_Joystick* joystick = nullptr;
};

// Every message the platform hands over until SDL's queue is empty.
std::vector<std::pair<Kind, uint32_t>> pumpAll(SdlPlatform& platform) {
  std::vector<WindowMessage> taken;
  for (int i = 0; i < 200 && platform.pumpOneMessage(taken); ++i) {
  }
  std::vector<std::pair<Kind, uint32_t>> messages;
  for (const WindowMessage& m : taken) messages.emplace_back(m.kind, m.code);
  return messages;
}

using Messages = std::vector<std::pair<Kind, uint32_t>>;

TEST(SdlPads, ButtonsAreTheKeysWhicheverPadAndUnpluggingLetsGo) {
  ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS), 0) << SDL_GetError();
  {
    SdlPlatform platform;
    VirtualPad first;
    ASSERT_GE(first.index, 0) << SDL_GetError();
    EXPECT_EQ(pumpAll(platform), Messages{});  // plugged in: nothing to say yet

    first.press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyDown, kVkD}}));
    EXPECT_EQ(pumpAll(platform), Messages{});  // held: no repeats
    first.press(SDL_CONTROLLER_BUTTON_A, false);
    first.press(SDL_CONTROLLER_BUTTON_X, true);  // not the game's
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyUp, kVkD}}));
    first.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyDown, kVkRight}}));
    first.press(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyDown, kVkEscape}}));
    first.press(SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyUp, kVkEscape}}));

    // A second pad: the key is down while either holds its button.
    VirtualPad second;
    pumpAll(platform);
    second.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_EQ(pumpAll(platform), Messages{});
    first.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(pumpAll(platform), Messages{});
    second.press(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyDown, kVkD}}));

    // Pulled out with buttons held: their keys are let go.
    second.unplug();
    EXPECT_EQ(pumpAll(platform), (Messages{{Kind::KeyUp, kVkD}, {Kind::KeyUp, kVkRight}}));
  }
  SDL_Quit();
}

// Plays the way a player with a pad would: the south button through the
// title screens, a run on the first level with the d-pad held all along,
// then Back for the game-over picture.
class PadPlayer : public FrameObserver {
 public:
  // Plugged in before the first frame, once the program has started SDL.
  void beforeFrame(uint64_t frame, const Game&) override {
    if (frame == 0) pad.emplace();
  }
  bool afterFrame(uint64_t, const Game& game) override {
    const int32_t mode = game.modes().gameMode;
    const LevelState& level = game.level();
    const float x = game.scene().progressMarker->getPosition().x;
    if (mode == kModeTitle || mode == kModeTitlePrompts) {
      // A press is a button going down after it was up.
      pad->press(SDL_CONTROLLER_BUTTON_A, !southDown);
      southDown = !southDown;
    } else if (mode == kModePlay && level.currentLevel == 0 && !level.inputLocked &&
               static_cast<double>(x) >= kBarStart && !rightDown) {
      pad->press(SDL_CONTROLLER_BUTTON_A, false);
      pad->press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
      rightDown = true;
    } else if (mode == kModePlay && level.currentLevel == 1 && rightDown) {
      pad->press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
      pad->press(SDL_CONTROLLER_BUTTON_BACK, true);
      rightDown = false;
    }
    return ++frames < 20000;
  }

  std::optional<VirtualPad> pad;
  bool southDown = false;
  bool rightDown = false;
  int frames = 0;
};

TEST(SdlPads, APadPlaysTheGameAndItsRecordingReplays) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  test::TempDir dir;
  const std::string recording = dir.file("session.rec");
  SdlBackend backend;
  PadPlayer player;
  ProgramOptions options;
  options.recordPath = recording;
  options.observer = &player;
  Program played(options);
  ASSERT_TRUE(played.open(backend));
  played.start();
  while (played.runFrame()) {
  }
  const GameEnd end = played.finish();
  EXPECT_EQ(end.mode, kModeGameOver);
  EXPECT_EQ(end.level, 1u);
  EXPECT_EQ(end.incorrect, 0);

  const test::ChildRun replay = test::runProgram({"./zummertock-replay", "--replay", recording});
  EXPECT_EQ(replay.status, 0) << replay.out << replay.err;
  EXPECT_NE(replay.out.find("mode 7, level 1, incorrect 0, status 0"), std::string::npos)
      << replay.out << replay.err;
}

}  // namespace
}  // namespace zt
