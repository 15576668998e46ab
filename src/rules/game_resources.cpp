#include "rules/game_resources.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "audio/ogg_clip.h"
#include "audio/speaker.h"
#include "core/color.h"
#include "core/resource_files.h"
#include "core/store.h"
#include "scene/image_file.h"
#include "scene/text.h"

namespace zt {

namespace {

// The five clips, each with the slot it fills, in the order they are made.
std::array<std::pair<const char*, SoundClip**>, 5> clipSlots(GameResources& r) {
  namespace files = resource_files;
  return {{
      {files::kTitleMusic, &r.titleMusic},
      {files::kGameMusic, &r.gameMusic},
      {files::kDeath, &r.death},
      {files::kAccept, &r.accept},
      {files::kGameOverSound, &r.gameOverSound},
  }};
}

}  // namespace

GameResources loadGameResources(Store& store, RunningIds& ids, SpeakerInterface& speaker,
                                const std::string& base) {
  namespace files = resource_files;
  GameResources r;
  const std::string folder = base + files::kFolder;
  const std::pair<const char*, Image**> pictures[] = {
      {files::kDerivative1, &r.derivative1},
      {files::kDerivative2, &r.derivative2},
      {files::kTrollidian1, &r.trollidian1},
      {files::kTrollidian2, &r.trollidian2},
      {files::kProgress, &r.progress},
      {files::kProgressBar, &r.progressBar},
      {files::kPanel, &r.panel},
      {files::kTitle, &r.title},
      {files::kTitleBackground, &r.titleBackground},
      {files::kGameOver, &r.gameOver},
  };
  for (const auto& [file, slot] : pictures) {
    *slot = store.keep(loadImage(ids.images, folder + file));
  }

  r.font = loadFont(store, ids, base);

  const auto clips = clipSlots(r);
  std::vector<std::string> paths;
  for (const auto& [file, slot] : clips) paths.push_back(folder + file);
  std::vector<std::unique_ptr<SoundClip>> loaded = loadSoundClips(speaker, paths);
  for (size_t i = 0; i < loaded.size(); ++i) *clips[i].second = store.keep(std::move(loaded[i]));
  return r;
}

GameResources missingGameResources(Store& store, RunningIds& ids, SpeakerInterface& speaker) {
  GameResources r;
  r.font = store.make<Font>(ids.fonts, kWhite);
  for (const auto& [file, slot] : clipSlots(r)) {
    *slot = speaker.createSoundClip(store.make<SoundClip>(), 0, kOutputChannels,
                                    static_cast<int32_t>(kOutputRate), nullptr);
  }
  return r;
}

}  // namespace zt
