// The loop's and the modes' process-wide state, kept apart from the code
// that drives it so the rules and their tests can link it alone.
#include "app/frame_loop.h"
#include "app/game_modes.h"

namespace zt {

float frameSeconds = 0.0f;
bool quitRequested = false;
double counterFrequency = 0.0;
int64_t previousCount = 0;

int32_t gameMode = kModeTitle;
double modeSeconds = 0.0;

}  // namespace zt
