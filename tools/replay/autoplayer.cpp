#include "replay/autoplayer.h"

#include <algorithm>

#include "app/game.h"
#include "rules/rules.h"
#include "scene/game_object.h"

namespace zt {

namespace {

// How long the title screens are looked at before the play key goes down.
constexpr double kReadingSeconds = 0.75;
// Step of the look-ahead scan over a level's pattern.
constexpr double kScanStep = 1.0 / 512.0;

WindowMessage keyMessage(uint32_t key, bool down) {
  return WindowMessage{down ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp, key};
}

}  // namespace

Autoplayer::Autoplayer(std::vector<uint32_t> mistakes) : mistakesLeft_(std::move(mistakes)) {}

std::optional<WindowMessage> Autoplayer::setPlayKey(bool down) {
  if (playKeyDown_ == down) return std::nullopt;
  playKeyDown_ = down;
  return keyMessage(kVkD, down);
}

// The key state the judge should see at x = lookahead. In a free window the
// key turns over at the window's middle, well away from both ends.
bool Autoplayer::wantHeldDuringRun(uint32_t level, double lookahead) {
  const float x = static_cast<float>(lookahead);
  Requirement here = requirementAt(level, x);
  if (here == Requirement::Held) return true;
  if (here == Requirement::Released) return false;

  double start = lookahead;
  while (start > kBarStart &&
         requirementAt(level, static_cast<float>(start - kScanStep)) == Requirement::Free) {
    start -= kScanStep;
  }
  double end = lookahead;
  while (end < kBarEnd + 0.5 &&
         requirementAt(level, static_cast<float>(end + kScanStep)) == Requirement::Free) {
    end += kScanStep;
  }
  const bool pastMiddle = lookahead >= (start + end) / 2;
  Requirement before = requirementAt(level, static_cast<float>(start - kScanStep));
  Requirement after = requirementAt(level, static_cast<float>(end + kScanStep));
  Requirement wanted = pastMiddle ? after : before;
  if (wanted == Requirement::Free) return playKeyDown_;  // free to the end
  return wanted == Requirement::Held;
}

std::optional<WindowMessage> Autoplayer::decide(const Game& game, double dt) {
  const int32_t mode = game.modes().gameMode;
  const LevelState& state = game.level();
  if (mode != lastMode_) {
    lastMode_ = mode;
    secondsInMode_ = 0.0;
  }
  secondsInMode_ += dt;

  switch (mode) {
    case kModeTitle:
    case kModeTitlePrompts:
      // Like a person, it reads the screen for a moment before pressing.
      if (secondsInMode_ < kReadingSeconds) return setPlayKey(false);
      return setPlayKey(!playKeyDown_);  // a press is a key-down after a key-up
    case kModePlay: {
      const double x = game.scene().progressMarker->getPosition().x;
      if (x < kBarStart || state.inputLocked) {  // slide-in or a pause
        runRequested_ = false;
        return setPlayKey(false);
      }
      if (state.markerSpeed == 0.0f) {
        // Waiting: release first, then press to start a run, then wait for
        // the frame loop to see the press.
        if (runRequested_) return std::nullopt;
        if (playKeyDown_) return setPlayKey(false);
        runRequested_ = true;
        auto it = std::find(mistakesLeft_.begin(), mistakesLeft_.end(), state.currentLevel);
        losingThisRun_ = it != mistakesLeft_.end();
        if (losingThisRun_) mistakesLeft_.erase(it);
        return setPlayKey(true);
      }
      runRequested_ = false;
      // A message sent now is handled at the end of this frame and judged in
      // the next, after two more moves of the marker.
      const double lookahead = x + 2.0 * state.markerSpeed * dt;
      if (losingThisRun_) {
        // Contradict the pattern at the first place it asks for something.
        Requirement wanted = requirementAt(state.currentLevel, static_cast<float>(lookahead));
        if (wanted == Requirement::Free) return std::nullopt;
        return setPlayKey(wanted == Requirement::Released);
      }
      return setPlayKey(wantHeldDuringRun(state.currentLevel, lookahead));
    }
    case kModeCredits:
      if (!escapeSent_ && game.modes().modeSeconds > 29.0) {
        escapeSent_ = true;
        return keyMessage(kVkEscape, true);
      }
      return std::nullopt;
    default:
      // Title flash, black pause, pause before the credits: nothing to do
      // but let go of the key.
      return setPlayKey(false);
  }
}

}  // namespace zt
