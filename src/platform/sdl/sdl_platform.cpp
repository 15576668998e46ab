// The Linux (and macOS) backend: an SDL2 window with a compatibility OpenGL
// context standing in for the Windows one. The game itself is shared code;
// this file only turns SDL's events into the game's window messages.
#include "platform/sdl/sdl_platform.h"

#include <cstdio>

#include "core/screen.h"
#include "program/strings.h"

// For sanitized builds, in every program with this backend: the desktop
// libraries SDL starts (D-Bus, the X and GL drivers) keep allocations of
// their own until exit. The leak checker should report only ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libGLX_mesa.so\nleak:_dri.so\n";
}

extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

namespace zt {

int SdlPlatform::createWindow() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  // Resizable, and in real pixels on high-density screens: the picture is
  // drawn at the largest whole zoom that fits.
  window_ = SDL_CreateWindow(ZT_WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                             kWindowWidth, kWindowHeight,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!window_) {
    std::fprintf(stderr, "Error: couldn't create the window: %s\n", SDL_GetError());
    return 0;
  }
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    std::fputs("Error: couldn't create an OpenGL rendering context.\n", stderr);
    return -1;
  }
  SDL_GL_MakeCurrent(window_, context_);
  // Let the swap wait for the display instead of spinning, where the driver
  // allows it.
  SDL_GL_SetSwapInterval(1);
  return 1;
}

SdlPlatform::~SdlPlatform() {
  for (const auto& controller : controllers_) SDL_GameControllerClose(controller.second);
}

void SdlPlatform::showOn(GlRenderer* display) {
  display_ = display;
  fitDisplay();
}

bool SdlPlatform::pumpOneMessage(std::vector<WindowMessage>& taken) {
  SDL_Event event;
  if (!SDL_PollEvent(&event)) return false;
  // Every event takes the frame's one message, as on Windows; the default
  // handling of what the game does not know changes nothing it sees.
  if (!handledHere(event) && !controllerEvent(event, taken)) {
    const WindowMessage message = translate(event);
    if (message.kind != WindowMessage::Kind::Other) taken.push_back(message);
  }
  return true;
}

void SdlPlatform::showFrame() {
  SDL_GL_SwapWindow(window_);
}

int64_t SdlPlatform::counter() {
  return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

double SdlPlatform::counterFrequency() {
  return static_cast<double>(SDL_GetPerformanceFrequency());
}

void SdlPlatform::runAboutBox() {
  // Modal: no frame runs until it is closed; the mixer keeps playing.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, ZT_ABOUT_CAPTION,
                           ZT_ABOUT_VERSION "\n" ZT_ABOUT_NOTICE, window_);
}

void SdlPlatform::fitDisplay() {
  if (!display_) return;
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  display_->fitToClient(width, height);
}

namespace {

bool altHeld(const SDL_Keysym& key) {
  return (key.mod & KMOD_ALT) != 0;
}

uint32_t virtualKey(SDL_Keycode code) {
  switch (code) {
    case SDLK_RIGHT:
      return kVkRight;
    case SDLK_d:
      return kVkD;
    case SDLK_ESCAPE:
      return kVkEscape;
    default:
      return 0;  // a key the game answers and ignores
  }
}

}  // namespace

// What the window itself does, unseen by the game: following its size, and
// F11 or Alt+Enter going to borderless full screen and back.
bool SdlPlatform::handledHere(const SDL_Event& event) {
  if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    fitDisplay();
    return true;
  }
  if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return false;
  const SDL_Keysym& key = event.key.keysym;
  const bool toggle = key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && altHeld(key));
  if (!toggle) return false;
  if (event.type == SDL_KEYDOWN && !event.key.repeat) {
    const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    fitDisplay();
  }
  return true;
}

bool SdlPlatform::controllerEvent(const SDL_Event& event, std::vector<WindowMessage>& taken) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      // Connected at start or later: each is opened as it comes.
      if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which)) {
        controllers_[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))] =
            controller;
      }
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      // Pulled out with a button held: that key is let go.
      pads_.remove(event.cdevice.which, taken);
      if (auto found = controllers_.find(event.cdevice.which); found != controllers_.end()) {
        SDL_GameControllerClose(found->second);
        controllers_.erase(found);
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
      switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_A:
          pads_.set(event.cbutton.which, kPadSouth, down, taken);
          break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
          pads_.set(event.cbutton.which, kPadRight, down, taken);
          break;
        case SDL_CONTROLLER_BUTTON_BACK:
          pads_.set(event.cbutton.which, kPadBack, down, taken);
          break;
        default:
          break;
      }
      return true;
    }
    default:
      return false;
  }
}

WindowMessage SdlPlatform::translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return {WindowMessage::Kind::Destroy, 0};
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) return {WindowMessage::Kind::Destroy, 0};
      // Nothing is drawn on demand: the frame loop draws every frame.
      return {WindowMessage::Kind::Other, 0};
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (altHeld(event.key.keysym)) {
        // Alt+? and Alt+/ are the About box's accelerators; every other key
        // pressed with Alt is a system key the game never sees.
        const SDL_Keycode code = event.key.keysym.sym;
        if (event.type == SDL_KEYDOWN && (code == SDLK_SLASH || code == SDLK_QUESTION)) {
          return {WindowMessage::Kind::Command, kCommandAbout};
        }
        return {WindowMessage::Kind::Other, 0};
      }
      return {event.type == SDL_KEYDOWN ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp,
              virtualKey(event.key.keysym.sym)};
    default:
      return {WindowMessage::Kind::Other, 0};
  }
}

bool SdlBackend::open() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "Error: couldn't start SDL: %s\n", SDL_GetError());
    return false;
  }
  // Without controller support the keys still play.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  // With no display SDL falls back to drivers that show nothing; a game no
  // one can see or close is no use to a player. Only an explicit choice
  // (SDL_VIDEODRIVER) gets them.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (!chosen || !*chosen) &&
      (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
    std::fputs("Error: couldn't create the window: no display\n", stderr);
    return false;
  }
  if (platform_.createWindow() != 1) return false;
  platform_.showOn(&display_);
  return true;
}

std::filesystem::path SdlBackend::programFolder() {
  std::filesystem::path folder;
  if (char* base = SDL_GetBasePath()) {
    folder = base;
    SDL_free(base);
  }
  return folder;
}

}  // namespace zt
