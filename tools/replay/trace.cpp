#include "replay/trace.h"

#include <cinttypes>
#include <cstdio>
#include <utility>

#include "app/game.h"
#include "core/resource_files.h"
#include "scene/game_object.h"
#include "scene/text.h"

namespace zt {

namespace {

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

// The file name of the marker's picture, "?" for one of no file, null for
// none.
std::string markerImage(const Game& game) {
  const GameResources& r = game.resources();
  const Image* shown = game.scene().progressMarker->spritePart().image;
  if (!shown) return "null";
  const std::pair<const Image*, const char*> names[] = {
      {r.derivative1, resource_files::kDerivative1},
      {r.derivative2, resource_files::kDerivative2},
      {r.trollidian1, resource_files::kTrollidian1},
      {r.trollidian2, resource_files::kTrollidian2},
  };
  for (const auto& [image, name] : names) {
    if (shown == image) return jsonString(name);
  }
  return jsonString("?");
}

}  // namespace

std::string traceLine(uint64_t frame, double t, const Game& game) {
  const LevelState& level = game.level();
  SpriteRenderObject2D* marker = game.scene().progressMarker;
  char line[512];
  std::snprintf(line, sizeof line,
                "{\"frame\":%" PRIu64
                ",\"t\":%.9g,\"mode\":%d,\"level\":%u,\"incorrect\":%d,\"markerX\":%.9g,"
                "\"markerImage\":%s,\"inputLocked\":%s,\"markerSpeed\":%.9g,\"playing\":%u,"
                "\"levelText\":",
                frame, t, game.modes().gameMode, level.currentLevel, level.incorrectGuesses,
                static_cast<double>(marker->getPosition().x), markerImage(game).c_str(),
                level.inputLocked ? "true" : "false", static_cast<double>(level.markerSpeed),
                game.playingSoundCount());
  return line + jsonString(game.scene().levelText->text) + "}";
}

}  // namespace zt
