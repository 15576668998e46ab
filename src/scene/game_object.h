#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/id_counter.h"
#include "core/vector2d.h"

namespace zt {

class Action;
class Schedule;
class DisplayInterface;
class Renderer;
class Image;
class Font;

// The root of every scene object: an id, a list of actions the frame loop
// may run every frame, and at most one schedule it may advance.
class GameObject {
 public:
  explicit GameObject(IdCounter& ids);
  virtual ~GameObject() = default;

  // A copy, so actions that change the list while it is run touch only the
  // next copy.
  virtual std::vector<Action*> getActions();
  // Appends unless an action with the same id is already in the list.
  virtual void addAction(Action* action);
  // Removes the action with the same id; order of the rest is kept.
  virtual void removeAction(Action* action);
  virtual Schedule* getSchedule();
  virtual void setSchedule(Schedule* schedule);

  int32_t id;
  std::vector<Action*> actions;
  Schedule* schedule = nullptr;
};

// Something drawn at an integer position on the logical screen.
class DrawingObject : public GameObject {
 public:
  DrawingObject(IdCounter& ids, DisplayInterface* display);
  virtual void draw() = 0;

  DisplayInterface* display;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t width = 0;
  uint32_t height = 0;
};

// A picture with its top-left corner at (x, y).
class SpriteObject : public DrawingObject {
 public:
  SpriteObject(IdCounter& ids, DisplayInterface* display, Image* image);
  void draw() override;
  virtual Image* getImage();
  virtual void setImage(Image* image);

  Image* image;
};

// A line of text centred on x; see scene/text.cpp.
class TextObject : public DrawingObject {
 public:
  TextObject(IdCounter& ids, std::string text, Font* font, DisplayInterface* display);
  void draw() override;
  // Replaces the text and measures it again.
  void setText(std::string text);

  std::string text;
  Font* font;
};

// Something placed in world units.
class WorldObject2D : public GameObject {
 public:
  explicit WorldObject2D(IdCounter& ids) : GameObject(ids) {}
  virtual Vector2D& getPosition();
  virtual void setPosition(const Vector2D& position);

  Vector2D position;
};

class RenderObject2D : public WorldObject2D {
 public:
  RenderObject2D(IdCounter& ids, Renderer* display);
  virtual void draw() = 0;

  // The display that maps world positions to the screen and draws.
  Renderer* display;
};

// A picture centred on a world position. It holds two GameObject parts, with
// consecutive ids; its actions and schedule are always those of the first
// (RenderObject2D) part, whichever view the caller holds.
class SpriteRenderObject2D : public RenderObject2D, public SpriteObject {
 public:
  SpriteRenderObject2D(IdCounter& ids, Renderer* display, Image* image);

  std::vector<Action*> getActions() override;
  void addAction(Action* action) override;
  void removeAction(Action* action) override;
  Schedule* getSchedule() override;
  void setSchedule(Schedule* schedule) override;
  void draw() override;

  // The two parts, named for readability.
  RenderObject2D& worldPart() { return *this; }
  SpriteObject& spritePart() { return *this; }
};

}  // namespace zt
