// The XInput pads as keys, with XInputGetState replaced by a table of pad
// states the test sets.
#include <windows.h>

#include <vector>

#include "check.h"
#include "platform/win32/xinput_pads.h"

namespace {

XINPUT_STATE pads[XUSER_MAX_COUNT];
bool connected[XUSER_MAX_COUNT];
int asked[XUSER_MAX_COUNT];

DWORD WINAPI fakeGetState(DWORD user, XINPUT_STATE* state) {
  ++asked[user];
  if (!connected[user]) return ERROR_DEVICE_NOT_CONNECTED;
  *state = pads[user];
  return ERROR_SUCCESS;
}

using Kind = zt::WindowMessage::Kind;

// The messages of one poll, as "down 68", "up 39", ...
std::vector<std::pair<Kind, uint32_t>> poll(zt::XInputPads& xinput, uint64_t now) {
  std::vector<zt::WindowMessage> messages;
  xinput.poll(now, messages);
  std::vector<std::pair<Kind, uint32_t>> got;
  for (const zt::WindowMessage& m : messages) got.emplace_back(m.kind, m.code);
  return got;
}

using Messages = std::vector<std::pair<Kind, uint32_t>>;

}  // namespace

TEST_CASE("XInput pads: A, d-pad right and Back are D, the right arrow and Escape") {
  for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
    connected[user] = false;
    pads[user] = XINPUT_STATE{};
    asked[user] = 0;
  }
  zt::XInputPads xinput(fakeGetState);
  CHECK(poll(xinput, 0) == Messages{});
  connected[0] = true;
  // An empty slot is asked again only a second later.
  CHECK(poll(xinput, 500) == Messages{});
  CHECK_EQ(asked[0], 1);
  pads[0].Gamepad.wButtons = XINPUT_GAMEPAD_A;
  CHECK(poll(xinput, 1000) == (Messages{{Kind::KeyDown, 0x44}}));
  CHECK(poll(xinput, 1016) == Messages{});  // held
  pads[0].Gamepad.wButtons = XINPUT_GAMEPAD_DPAD_RIGHT | XINPUT_GAMEPAD_BACK | XINPUT_GAMEPAD_X;
  CHECK(poll(xinput, 1032) ==
        (Messages{{Kind::KeyUp, 0x44}, {Kind::KeyDown, 0x27}, {Kind::KeyDown, 0x1B}}));
  pads[0].Gamepad.wButtons = XINPUT_GAMEPAD_DPAD_RIGHT;
  CHECK(poll(xinput, 1048) == (Messages{{Kind::KeyUp, 0x1B}}));

  // A second pad holding the same button keeps its key down.
  connected[1] = true;
  pads[1].Gamepad.wButtons = XINPUT_GAMEPAD_DPAD_RIGHT;
  CHECK(poll(xinput, 2100) == Messages{});
  pads[0].Gamepad.wButtons = 0;
  CHECK(poll(xinput, 2116) == Messages{});
  // Unplugged while held: its key is let go.
  connected[1] = false;
  CHECK(poll(xinput, 2132) == (Messages{{Kind::KeyUp, 0x27}}));

  // Without XInput there are no pads.
  zt::XInputPads none(nullptr);
  CHECK(poll(none, 5000) == Messages{});
}
