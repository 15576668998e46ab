#pragma once

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

#include "app/pad_keys.h"
#include "app/platform.h"
#include "display/gl_renderer.h"
#include "platform/sdl/sdl_wave_device.h"
#include "program/program.h"

namespace zt {

// The game's platform on SDL2: the window's events as the game's messages,
// one taken per frame, the buffer swap, SDL's performance counter, a modal
// message box for About, and SDL audio as the wave device. What the window
// does on its own (following its size, full screen) the game never sees.
// Game controllers come and go at any time and play as the keys do.
class SdlPlatform : public Platform {
 public:
  ~SdlPlatform() override;

  // 1 on success, 0 when the window cannot be made, -1 when OpenGL fails.
  int createWindow();
  // The display to keep fitted to the window's size.
  void showOn(GlRenderer* display);

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override;
  void showFrame() override;
  int64_t counter() override;
  double counterFrequency() override;
  void runAboutBox() override;
  WaveDevice* waveDevice() override { return &wave_; }

  // The system's event as the game's message: Kind::Other for what the game
  // has no word for.
  static WindowMessage translate(const SDL_Event& event);

 private:
  void fitDisplay();
  bool handledHere(const SDL_Event& event);
  // A controller's event as key messages; false for any other event.
  bool controllerEvent(const SDL_Event& event, std::vector<WindowMessage>& taken);

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  GlRenderer* display_ = nullptr;
  SdlWaveDevice wave_;
  PadKeys pads_;
  std::map<SDL_JoystickID, SDL_GameController*> controllers_;
};

// The Linux program's backend: SDL started, refusing drivers that show
// nothing, then the window with its compatibility OpenGL context.
// SDL is not shut down: the program ends right after the game, and the
// drivers SDL loaded stay loaded until then.
class SdlBackend : public Backend {
 public:
  bool open() override;
  Platform& platform() override { return platform_; }
  Renderer& display() override { return display_; }
  std::filesystem::path programFolder() override;

 private:
  SdlPlatform platform_;
  GlRenderer display_;
};

}  // namespace zt
