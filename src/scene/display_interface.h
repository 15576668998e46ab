#pragma once

#include <cstdint>

#include "core/color.h"
#include "core/screen.h"
#include "core/vector2d.h"

namespace zt {

class Image;

// The only way to the screen: the window's client area showing the logical
// screen, every picture put there at once, blended over what is there.
// Scene objects and the game's modes draw through it; how the pixels get
// there (OpenGL, or nothing at all in a test) is the implementation's.
class DisplayInterface {
 public:
  virtual ~DisplayInterface() = default;

  // Sets up the drawing state; 0 on success.
  virtual int32_t initialize() = 0;
  // Draws image with its top-left corner at logical (x, y); null draws nothing.
  virtual void drawImage(const Image* image, int32_t x, int32_t y) = 0;
  virtual void endFrame() {}
  virtual void clear() = 0;
  // Finishes the frame and shows it.
  virtual void present() = 0;
  // Makes color what clear() fills with (see setClearColor).
  virtual void applyClearColor(const Color& color) = 0;

  uint32_t windowWidth = kWindowWidth;
  uint32_t windowHeight = kWindowHeight;
  uint32_t logicalWidth = kLogicalWidth;
  uint32_t logicalHeight = kLogicalHeight;
  // The colour last given to setClearColor. Until then clear() fills with
  // what initialize() chose, which is not this one.
  Color clearColor{32, 32, 32, 255};
};

// Records the colour and makes it the clear colour; null changes nothing.
void setClearColor(DisplayInterface* display, const Color* color);

// A display with a view of the 2-D world: centre, width and height in world
// units (a negative size is stored as 0).
class Renderer : public DisplayInterface {
 public:
  Renderer(Vector2D center, float width, float height)
      : viewCenter(center),
        viewWidth(width < 0.0f ? 0.0f : width),
        viewHeight(height < 0.0f ? 0.0f : height) {}

  Vector2D viewCenter;
  float viewWidth;
  float viewHeight;
};

// World point to logical pixel (truncated toward zero).
ScreenPoint worldToScreen(const Renderer& renderer, float x, float y);

}  // namespace zt
