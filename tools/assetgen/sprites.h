#pragma once

#include "canvas.h"

namespace zt::assetgen {

// The progress marker: a little orange creature walking right. All four
// frames share one size so the marker does not jump when they change.
constexpr int kFigureWidth = 24;
constexpr int kFigureHeight = 32;

// Walk cycle: 0 = stride (feet apart), 1 = passing (feet together, body up).
Canvas walkerFrame(int frame);
// The creature laughing at the player: 0 = hands at its head, 1 = arms up
// in a hop. The two alternate as a dance in the credits.
Canvas mockerFrame(int frame);

}  // namespace zt::assetgen
