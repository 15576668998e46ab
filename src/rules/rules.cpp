#include "rules/rules.h"

#include <limits>

#include "core/keys.h"
#include "core/loop_clock.h"
#include "scene/game_object.h"
#include "script/schedule.h"

namespace zt {

const std::string levelNames[kLevelCount] = {
    "Occam's Razor",
    "Half & Half",
    "Tell Me That This Is A Phallic Symbol",
    "The Island Of Koridai",
    "Even The Passenger Gets In Trouble",
    "Your Five-Year-Old Self Loves This",
    "You Mad, Bro?",
    "HE TOUCHED MY BREAST!",
    "Tap, Tap, Tap Tap Tap",
    "Mr. Body Massage Machine",
    "It Needs To Be Hard For Me",
    "Veni, Vidi, PINGAS",
    "Oh God, Are You Still Playing This?",
    "This Is Just A Joke, It's A Bad Game",
    "I Regret Everything Now",
    "Quick, Out Through Here!",
    "Farewell!",
    "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ",
};

// Each level's darker colour, then its lighter one.
const Color levelColorPairs[2 * kLevelCount] = {
    {0xB3, 0x00, 0x10, 0xFF}, {0xFF, 0x79, 0x79, 0xFF},  // 0
    {0xA9, 0x0C, 0xA7, 0xFF}, {0xFF, 0x9F, 0xFE, 0xFF},  // 1
    {0x00, 0x9D, 0x00, 0xFF}, {0xA6, 0xED, 0xA3, 0xFF},  // 2
    {0x37, 0x4B, 0xB5, 0xFF}, {0xC5, 0xCD, 0xFF, 0xFF},  // 3
    {0xC0, 0x90, 0x10, 0xFF}, {0xFF, 0xE7, 0x9D, 0xFF},  // 4
    {0xA9, 0x0C, 0xA7, 0xFF}, {0xFF, 0x9F, 0xFE, 0xFF},  // 5
    {0x02, 0x67, 0x79, 0xFF}, {0xA9, 0xF0, 0xFF, 0xFF},  // 6
    {0xB3, 0x00, 0x10, 0xFF}, {0xFF, 0x79, 0x79, 0xFF},  // 7
    {0x37, 0x4B, 0xB5, 0xFF}, {0xC5, 0xCD, 0xFF, 0xFF},  // 8
    {0x00, 0x9D, 0x00, 0xFF}, {0xA6, 0xED, 0xA3, 0xFF},  // 9
    {0x02, 0x67, 0x79, 0xFF}, {0xA9, 0xF0, 0xFF, 0xFF},  // 10
    {0xC0, 0x90, 0x10, 0xFF}, {0xFF, 0xE7, 0x9D, 0xFF},  // 11
    {0x37, 0x4B, 0xB5, 0xFF}, {0xC5, 0xCD, 0xFF, 0xFF},  // 12
    {0x00, 0x9D, 0x00, 0xFF}, {0xA6, 0xED, 0xA3, 0xFF},  // 13
    {0xA9, 0x0C, 0xA7, 0xFF}, {0xFF, 0x9F, 0xFE, 0xFF},  // 14
    {0x37, 0x4B, 0xB5, 0xFF}, {0xC5, 0xCD, 0xFF, 0xFF},  // 15
    {0x02, 0x67, 0x79, 0xFF}, {0xA9, 0xF0, 0xFF, 0xFF},  // 16
    {0xFF, 0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00, 0xFF},  // 17
};

// The colours before level 0: what the pictures are drawn in.
const Color neutralColorPair[2] = {{0x00, 0x00, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}};

namespace {

constexpr double kOn = std::numeric_limits<double>::infinity();

// The free windows of each level. Bounds that are not short binary fractions
// are rounded so that no float marker position lies between the written value
// and the one meant.
const FreeWindow kLevel1[] = {{-0.3, 0.0}};
const FreeWindow kLevel2[] = {{0.8, 1.1}};
const FreeWindow kLevel3[] = {{-0.9125, -0.6125}, {0.3125, 0.6125}};
const FreeWindow kLevel4[] = {{-0.9125, -0.6125}, {-0.3, 0.0}, {0.925, 1.225}};
const FreeWindow kLevel5[] = {
    {-1.4025, -1.1025}, {-0.6675, -0.3675}, {0.0675, 0.3675}, {0.8025, 1.1025}};
const FreeWindow kLevel6[] = {{-1.21875, -0.91875},
                              {-0.759375, -0.459375},
                              {-0.3, 0.0},
                              {0.61875, 0.91875},
                              {1.078125, 1.378125}};
const FreeWindow kLevel7[] = {
    {-1.32083333, -1.02083333}, {-0.6675, -0.3675}, {0.0675, 0.3675}, {0.72083333, 1.02083333}};
const FreeWindow kLevel8[] = {{-1.8, -1.4},       {-1.2625, -0.9625},  {-0.925, -0.525},
                              {-0.3875, -0.0875}, {-0.06875, 0.13125}, {0.15, 0.35},
                              {0.36875, 0.56875}, {0.5875, 0.7875},    {0.80625, 1.00625}};
const FreeWindow kLevel9[] = {
    {-1.11875, -0.91875}, {-0.2, 0.0}, {0.0296875, 0.2296875}, {1.4078125, 1.6078125}};
const FreeWindow kLevel10[] = {
    {-1.4025, -1.1025}, {-0.5625, -0.2625}, {0.3890625, 0.6890625}, {0.9484375, 1.378125}};
// The second window starts one double above -1.578125, so that x = -1.578125
// itself still falls in the released stretch before it.
const FreeWindow kLevel11[] = {{-1.8078125, -1.6078125}, {-1.5781249999999998, -1.378125},
                               {-1.3484375, -1.1484375}, {-0.759375, -0.459375},
                               {-0.4296875, -0.2296875}, {-0.2, 0.0},
                               {0.0296875, 0.2296875},   {0.61875, 0.91875},
                               {0.9484375, 1.1484375},   {1.178125, 1.378125},
                               {1.4078125, 1.6078125}};
const FreeWindow kLevel12[] = {{-1.77, -1.47},     {-1.4025, -1.1025}, {-1.035, -0.735},
                               {-0.6675, -0.3675}, {-0.3, 0.0},        {0.0675, 0.3675},
                               {0.435, 0.735},     {0.8025, 1.1025},   {1.17, 1.47}};
const FreeWindow kLevel13[] = {{-1.77, -1.47},     {-1.4025, -1.1025}, {-1.035, -0.735},
                               {-0.6675, -0.3675}, {-0.3, 0.0},        {0.0675, 0.3675},
                               {0.435, 0.735},     {0.8025, kOn}};
const FreeWindow kLevel14[] = {
    {-1.77, -1.47}, {-1.4025, -1.1025}, {-1.035, -0.735}, {-0.6675, kOn}};
const FreeWindow kLevel15[] = {{-1.77, -1.47}, {-1.4025, kOn}};
const FreeWindow kEverywhere[] = {{-kOn, kOn}};

template <size_t N>
constexpr LevelPattern pattern(const FreeWindow (&windows)[N]) {
  return LevelPattern{windows, static_cast<uint32_t>(N)};
}

bool markerAtLeast(SpriteRenderObject2D* marker, double x) {
  return marker && static_cast<double>(marker->getPosition().x) >= x;
}

bool clockAtLeast(const Schedule* schedule, double seconds) {
  return schedule && static_cast<double>(schedule->clock) >= seconds;
}

}  // namespace

const LevelPattern levelPatterns[kLevelCount] = {
    {nullptr, 0},         pattern(kLevel1),     pattern(kLevel2),  pattern(kLevel3),
    pattern(kLevel4),     pattern(kLevel5),     pattern(kLevel6),  pattern(kLevel7),
    pattern(kLevel8),     pattern(kLevel9),     pattern(kLevel10), pattern(kLevel11),
    pattern(kLevel12),    pattern(kLevel13),    pattern(kLevel14), pattern(kLevel15),
    pattern(kEverywhere), pattern(kEverywhere),
};

Requirement requirementAt(uint32_t level, float x) {
  if (level >= kLevelCount) return Requirement::Impossible;
  const LevelPattern& levelPattern = levelPatterns[level];
  const double at = x;
  // Held before the first window; each window passed turns the requirement over.
  uint32_t passed = 0;
  for (; passed < levelPattern.count; ++passed) {
    const FreeWindow& window = levelPattern.windows[passed];
    if (at < window.from) break;
    if (at <= window.to) return Requirement::Free;
  }
  return passed % 2 == 0 ? Requirement::Held : Requirement::Released;
}

bool isKeyMistake(const JudgeInput* input) {
  if (!input) return false;
  const float held = input->keys.playKeyHeld();
  switch (requirementAt(input->level.currentLevel, input->marker.getPosition().x)) {
    case Requirement::Free:
      return false;
    case Requirement::Held:
      return held == 0.0f;
    case Requirement::Released:
      return held == 1.0f;
    case Requirement::Impossible:
      return true;
  }
  return true;
}

bool markerPastEnd(SpriteRenderObject2D* marker) {
  return markerAtLeast(marker, kBarEnd);
}

bool markerPastMiddle(SpriteRenderObject2D* marker) {
  return markerAtLeast(marker, kBarMiddle);
}

// The pause entries stand at the floats of 0.84 and 0.364, just below these
// doubles, so a watcher fires only in the pass after its detaching entry ran.
bool mistakePauseOver(const Schedule* pause) {
  return clockAtLeast(pause, 0.84);
}

bool successPauseOver(const Schedule* pause) {
  return clockAtLeast(pause, 0.364);
}

bool isLastLevel(const LevelState* level) {
  return level && level->currentLevel == kLastLevel;
}

int32_t stopMarker(LevelState* level) {
  if (!level) return -1;
  level->markerSpeed = 0.0f;
  return 0;
}

int32_t restartAfterMistake(const MarkerBinding* binding) {
  if (!binding) return -1;
  binding->marker.setPosition(Vector2D{static_cast<float>(kBarStart), 0.0f});
  ++binding->level.incorrectGuesses;
  return 0;
}

int32_t parkMarkerOffLeft(SpriteRenderObject2D* marker) {
  if (!marker) return -1;
  marker->setPosition(Vector2D{kMarkerParked, 0.0f});
  return 0;
}

int32_t slideMarkerRight(const MarkerBinding* binding) {
  if (!binding) return -1;
  SpriteRenderObject2D& marker = binding->marker;
  const Vector2D position = marker.getPosition();
  marker.setPosition(
      Vector2D{position.x + kMarkerRunSpeed * binding->clock.frameSeconds, position.y});
  return 0;
}

int32_t selectLevelColors(const ActionBinding<SpriteColorSwap>* binding) {
  if (!binding) return -1;
  const uint32_t level = binding->level.currentLevel;
  // Past the last level there is no pair to go to: the colours stay.
  if (level >= kLevelCount) return -1;
  SpriteColorSwap& swap = binding->action;
  swap.fromColors = level == 0 ? neutralColorPair : levelColorPairs + 2 * (level - 1);
  swap.toColors = levelColorPairs + 2 * level;
  return 0;
}

int32_t selectLevelName(const ActionBinding<TextChange>* binding) {
  if (!binding) return -1;
  const uint32_t level = binding->level.currentLevel;
  if (level >= kLevelCount) return -1;
  binding->action.text = levelNames[level];
  return 0;
}

int32_t advanceLevel(LevelState* level) {
  if (!level) return -1;
  ++level->currentLevel;
  return 0;
}

int32_t lockInput(LevelState* level) {
  if (!level) return -1;
  level->inputLocked = true;
  return 0;
}

int32_t unlockInput(LevelState* level) {
  if (!level) return -1;
  level->inputLocked = false;
  return 0;
}

int32_t enterFinalVerdict(LevelState* level) {
  if (!level) return -1;
  level->verdictReached = true;
  return 0;
}

}  // namespace zt
