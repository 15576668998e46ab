#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cinttypes>
#include <sstream>

#include "app/frame_loop.h"
#include "app/game_modes.h"
#include "app/window_procedure.h"
#include "audio/speaker.h"
#include "platform/headless/headless_wave_device.h"
#include "platform/headless/offscreen_gl.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "scene/text.h"
#include "script/scene_script.h"

namespace zt {

namespace {

bool parseKey(const std::string& word, uint32_t& key) {
  if (word == "right")
    key = kVkRight;
  else if (word == "d")
    key = kVkD;
  else if (word == "escape")
    key = kVkEscape;
  else
    return false;
  return true;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

const char* markerImageName(const Game& game) {
  const Image* image = game.scene->progressMarker->spritePart().image;
  const GameResources& r = *game.resources;
  if (!image) return nullptr;
  if (image == r.derivative1) return "derivative1.png";
  if (image == r.derivative2) return "derivative2.png";
  if (image == r.trollidian1) return "trollidian1.png";
  if (image == r.trollidian2) return "trollidian2.png";
  return "?";
}

}  // namespace

bool parseScript(const std::string& text, std::vector<ScriptEvent>& events, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string frameWord, verb, keyWord, extra;
    if (!(words >> frameWord)) continue;  // blank or comment only
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (frameWord.find_first_not_of("0123456789") != std::string::npos || frameWord.size() > 18) {
      return fail("expected a frame number, got '" + frameWord + "'");
    }
    ScriptEvent event;
    event.frame = std::stoull(frameWord);
    if (!(words >> verb)) return fail("missing event");
    if (verb == "down" || verb == "up") {
      uint32_t key = 0;
      if (!(words >> keyWord) || !parseKey(keyWord, key)) {
        return fail("expected right, d or escape after '" + verb + "'");
      }
      event.message = WindowMessage{
          verb == "down" ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp, key};
    } else if (verb == "about") {
      event.message = WindowMessage{WindowMessage::Kind::Command, kCommandAbout};
    } else if (verb == "close") {
      event.message = WindowMessage{WindowMessage::Kind::Destroy, 0};
    } else {
      return fail("unknown event '" + verb + "'");
    }
    if (words >> extra) return fail("unexpected '" + extra + "'");
    events.push_back(event);
  }
  // Events are queued in frame order; a stable sort keeps same-frame order.
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  return true;
}

HeadlessPlatform::HeadlessPlatform(HeadlessOptions options)
    : options_(std::move(options)),
      wave_(
          std::make_unique<HeadlessWaveDevice>(options_.noSoundDevice, !options_.wavPath.empty())) {
  if (options_.autoplay) autoplayer_ = std::make_unique<Autoplayer>(options_.mistakes);
  if (!options_.tracePath.empty()) {
    trace_ = std::fopen(options_.tracePath.c_str(), "wb");
    if (!trace_) {
      std::fprintf(stderr, "zummertock-replay: cannot write %s\n", options_.tracePath.c_str());
      ok_ = false;
    }
  }
}

HeadlessPlatform::~HeadlessPlatform() {
  if (trace_) std::fclose(trace_);
}

bool HeadlessPlatform::createContext() {
  gl_ = std::make_unique<OffscreenGl>(640, 480);
  if (!gl_->valid()) {
    std::fprintf(stderr, "zummertock-replay: cannot create an offscreen OpenGL context\n");
    return false;
  }
  return true;
}

bool HeadlessPlatform::pumpOneMessage() {
  if (queue_.empty()) return false;
  WindowMessage message = queue_.front();
  queue_.pop_front();
  // Default handling of anything else changes nothing here.
  windowProcedure(*this, message);
  return true;
}

void HeadlessPlatform::swapBuffers() {
  ++presents_;
  // The sound device plays the frame's worth of virtual time, and the mixer
  // catches up before the game goes on.
  wave_->advance(options_.dt);
}

void HeadlessPlatform::destroyWindow() {
  // Destroying a window sends its destroy message at once.
  windowProcedure(*this, WindowMessage{WindowMessage::Kind::Destroy, 0});
}

WaveDevice* HeadlessPlatform::waveDevice() {
  return wave_.get();
}

void HeadlessPlatform::beforeFrame(uint64_t frame) {
  while (nextEvent_ < options_.events.size() && options_.events[nextEvent_].frame <= frame) {
    queue_.push_back(options_.events[nextEvent_++].message);
  }
  // The player sends one message at a time, like a person with one hand.
  if (autoplayer_ && queue_.empty()) {
    if (auto message = autoplayer_->decide(options_.dt)) queue_.push_back(*message);
  }
}

bool HeadlessPlatform::afterFrame(uint64_t frame) {
  if (trace_) writeTrace(frame);
  if (auto shots = options_.shots.find(frame); shots != options_.shots.end()) {
    // The buffer still holds what the last present showed.
    std::vector<uint8_t> pixels = readFramePixels(640, 480);
    // A window shows no alpha: the picture on screen is opaque.
    for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 255;
    for (const std::string& file : shots->second) {
      if (!writeRgbaPng(file, 640, 480, pixels.data())) {
        std::fprintf(stderr, "zummertock-replay: cannot write %s\n", file.c_str());
        ok_ = false;
      }
    }
  }
  return frame + 1 < options_.maxFrames;
}

void HeadlessPlatform::writeTrace(uint64_t frame) {
  const Game* game = currentGame();
  const Vector2D& position = game->scene->progressMarker->getPosition();
  const char* image = markerImageName(*game);
  std::fprintf(trace_,
               "{\"frame\":%" PRIu64
               ",\"t\":%.9g,\"mode\":%d,\"level\":%u,\"incorrect\":%d,\"markerX\":%.9g,"
               "\"markerImage\":%s,\"inputLocked\":%s,\"markerSpeed\":%.9g,\"playing\":%u,"
               "\"levelText\":%s}\n",
               frame, static_cast<double>(presents_) * options_.dt, gameMode, currentLevel,
               incorrectGuesses, static_cast<double>(position.x),
               image ? jsonString(image).c_str() : "null", inputLocked ? "true" : "false",
               static_cast<double>(markerSpeed), playingSoundCount(),
               jsonString(game->scene->levelText->text).c_str());
}

bool HeadlessPlatform::finish() {
  if (trace_) {
    if (std::fclose(trace_) != 0) ok_ = false;
    trace_ = nullptr;
  }
  if (!options_.wavPath.empty() && !wave_->writeWav(options_.wavPath)) {
    std::fprintf(stderr, "zummertock-replay: cannot write %s\n", options_.wavPath.c_str());
    ok_ = false;
  }
  return ok_;
}

}  // namespace zt
