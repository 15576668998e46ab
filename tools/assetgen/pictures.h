#pragma once

#include "canvas.h"
#include "core/screen.h"

namespace zt::assetgen {

// Picture sizes the game's layout depends on.
constexpr int kBarWidth = 300;
constexpr int kProgressHeight = 4;   // the filling, drawn at (10, 153)
constexpr int kBarFrameHeight = 10;  // the frame, drawn at (10, 150)
constexpr int kFillTop = 3;          // first row of the filling within the frame
constexpr int kPanelHeight = 70;     // drawn at (10, 10) and (10, 170)
constexpr int kTitleHeight = 84;     // drawn at (0, 10)
constexpr int kScreenWidth = static_cast<int>(kLogicalWidth);
constexpr int kScreenHeight = static_cast<int>(kLogicalHeight);
constexpr int kScrollPeriod = 449;  // how far the background scrolls before it wraps

Canvas progressPicture();
Canvas barFramePicture();
Canvas panelPicture();
Canvas titlePicture();
Canvas titleBackground();
Canvas gameOverPicture();

}  // namespace zt::assetgen
