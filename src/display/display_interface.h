#pragma once

#include <cstdint>
#include <functional>

#include "scene/color.h"
#include "scene/vector2d.h"

namespace zt {

class Image;
class Renderer;

// The only way to the screen: a 640 x 480 window showing a 320 x 240 logical
// screen, every picture put there at once with glDrawPixels at a 2 x 2 zoom.
class DisplayInterface {
 public:
  DisplayInterface();
  virtual ~DisplayInterface() = default;

  virtual uint32_t& windowWidth();
  virtual void setWindowWidth(uint32_t value);
  virtual uint32_t& windowHeight();
  virtual void setWindowHeight(uint32_t value);
  virtual uint32_t& logicalWidth();
  virtual void setLogicalWidth(uint32_t value);
  virtual uint32_t& logicalHeight();
  virtual void setLogicalHeight(uint32_t value);
  virtual int32_t initialize();
  virtual void resize(uint32_t width, uint32_t height);
  // Draws image with its top-left corner at logical (x, y); null draws nothing.
  virtual void drawImage(const Image* image, int32_t x, int32_t y);
  virtual void endFrame();
  virtual void clear();
  virtual void present();

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
};

// Records the colour and makes it the GL clear colour; null changes nothing.
void setClearColor(DisplayInterface* display, const Color* color);

// Adds a view of the 2-D world: centre, width and height in world units
// (a negative size is stored as 0).
class Renderer : public DisplayInterface {
 public:
  Renderer(Vector2D center, float width, float height);

  int32_t initialize() override;
  void resize(uint32_t width, uint32_t height) override;
  const Renderer* asRenderer() const override { return this; }

  Vector2D viewCenter;
  float viewWidth;
  float viewHeight;
};

// World point to logical pixel (truncated toward zero).
ScreenPoint worldToScreen(const Renderer& renderer, float x, float y);

}  // namespace zt
