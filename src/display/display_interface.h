#pragma once

#include <cstdint>
#include <functional>

#include "scene/color.h"
#include "scene/vector2d.h"

namespace zt {

class Image;
class Renderer;

class DisplayInterface;

// The OpenGL work behind the display's operations (display_interface.cpp).
// Displays reach it through this table, which their constructor fills in, so
// code that only holds a display pointer (the scene objects) never names an
// OpenGL function, even where the compiler inlines or speculates about the
// virtual calls: programs that draw nothing link without OpenGL.
struct OpenGlCalls {
  int32_t (*initializeDisplay)(DisplayInterface& display);
  void (*drawImage)(const DisplayInterface& display, const Image* image, int32_t x, int32_t y);
  void (*clear)();
  void (*present)(DisplayInterface& display);
  int32_t (*initializeView)(const Renderer& renderer);
  void (*resizeView)(const Renderer& renderer, uint32_t width, uint32_t height);
};

// The only way to the screen: a 640 x 480 window showing a 320 x 240 logical
// screen, every picture put there at once with glDrawPixels at a 2 x 2 zoom.
//
// The virtual operations are all defined in this header, so the class has no
// key function and its type information is emitted wherever it is needed (the
// sanitizers' type checks need it in every scene object that draws) instead
// of beside the OpenGL code.
class DisplayInterface {
 public:
  DisplayInterface();
  virtual ~DisplayInterface() = default;

  virtual uint32_t& windowWidth() { return windowWidth_; }
  virtual void setWindowWidth(uint32_t value) { windowWidth_ = value; }
  virtual uint32_t& windowHeight() { return windowHeight_; }
  virtual void setWindowHeight(uint32_t value) { windowHeight_ = value; }
  virtual uint32_t& logicalWidth() { return logicalWidth_; }
  virtual void setLogicalWidth(uint32_t value) { logicalWidth_ = value; }
  virtual uint32_t& logicalHeight() { return logicalHeight_; }
  virtual void setLogicalHeight(uint32_t value) { logicalHeight_ = value; }
  // Sets up the OpenGL state; always 0.
  virtual int32_t initialize() { return gl_->initializeDisplay(*this); }
  // Records a new window size (through the setters).
  virtual void resize(uint32_t width, uint32_t height) {
    setWindowWidth(width);
    setWindowHeight(height);
  }
  // Draws image with its top-left corner at logical (x, y); null draws nothing.
  virtual void drawImage(const Image* image, int32_t x, int32_t y) {
    gl_->drawImage(*this, image, x, y);
  }
  virtual void endFrame() {}
  virtual void clear() { gl_->clear(); }
  // glFinish, then the platform's swap.
  virtual void present() { gl_->present(*this); }

  // The Renderer behind this display, if it is one. Scene objects that live
  // in world units ask this instead of casting, so they link without GL.
  virtual const Renderer* asRenderer() const { return nullptr; }

  // The platform's buffer swap, called by present after glFinish.
  std::function<void()> swapBuffers;

  uint32_t windowWidth_ = 640;
  uint32_t windowHeight_ = 480;
  uint32_t logicalWidth_ = 320;
  uint32_t logicalHeight_ = 240;
  Color clearColor{32, 32, 32, 255};

 protected:
  const OpenGlCalls* gl_;
};

// Records the colour and makes it the GL clear colour; null changes nothing.
void setClearColor(DisplayInterface* display, const Color* color);

// Adds a view of the 2-D world: centre, width and height in world units
// (a negative size is stored as 0).
class Renderer : public DisplayInterface {
 public:
  Renderer(Vector2D center, float width, float height)
      : viewCenter(center),
        viewWidth(width < 0.0f ? 0.0f : width),
        viewHeight(height < 0.0f ? 0.0f : height) {}

  // The display's set-up, then a projection of the world view; -1 if the
  // display's set-up failed.
  int32_t initialize() override {
    if (DisplayInterface::initialize() != 0) return -1;
    return gl_->initializeView(*this);
  }
  // Nothing in the game calls this: the window keeps its size. The size is
  // not recorded.
  void resize(uint32_t width, uint32_t height) override { gl_->resizeView(*this, width, height); }
  const Renderer* asRenderer() const override { return this; }

  Vector2D viewCenter;
  float viewWidth;
  float viewHeight;
};

// World point to logical pixel (truncated toward zero).
ScreenPoint worldToScreen(const Renderer& renderer, float x, float y);

}  // namespace zt
