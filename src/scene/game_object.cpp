#include "scene/game_object.h"

#include <algorithm>

#include "core/image.h"
#include "scene/action.h"
#include "scene/display_interface.h"

namespace zt {

GameObject::GameObject(IdCounter& ids) : id(ids.take()) {}

std::vector<Action*> GameObject::getActions() {
  return actions;
}

void GameObject::addAction(Action* action) {
  if (!action) return;
  for (Action* present : actions) {
    if (present->id == action->id) return;
  }
  actions.push_back(action);
}

void GameObject::removeAction(Action* action) {
  if (!action) return;
  auto found = std::find_if(actions.begin(), actions.end(),
                            [action](Action* present) { return present->id == action->id; });
  if (found != actions.end()) actions.erase(found);
}

Schedule* GameObject::getSchedule() {
  return schedule;
}

void GameObject::setSchedule(Schedule* newSchedule) {
  schedule = newSchedule;
}

DrawingObject::DrawingObject(IdCounter& ids, DisplayInterface* display)
    : GameObject(ids), display(display) {}

SpriteObject::SpriteObject(IdCounter& ids, DisplayInterface* display, Image* image)
    : DrawingObject(ids, display), image(image) {}

void SpriteObject::draw() {
  if (display) display->drawImage(image, x, y);
}

Image* SpriteObject::getImage() {
  return image;
}

void SpriteObject::setImage(Image* newImage) {
  image = newImage;
}

Vector2D& WorldObject2D::getPosition() {
  return position;
}

void WorldObject2D::setPosition(const Vector2D& newPosition) {
  position.x = newPosition.x;
  position.y = newPosition.y;
}

RenderObject2D::RenderObject2D(IdCounter& ids, Renderer* display)
    : WorldObject2D(ids), display(display) {}

// The first part is constructed first, so it takes id n and the sprite part n + 1.
SpriteRenderObject2D::SpriteRenderObject2D(IdCounter& ids, Renderer* display, Image* image)
    : RenderObject2D(ids, display), SpriteObject(ids, display, image) {}

std::vector<Action*> SpriteRenderObject2D::getActions() {
  return RenderObject2D::getActions();
}

void SpriteRenderObject2D::addAction(Action* action) {
  RenderObject2D::addAction(action);
}

void SpriteRenderObject2D::removeAction(Action* action) {
  RenderObject2D::removeAction(action);
}

Schedule* SpriteRenderObject2D::getSchedule() {
  return RenderObject2D::getSchedule();
}

void SpriteRenderObject2D::setSchedule(Schedule* newSchedule) {
  RenderObject2D::setSchedule(newSchedule);
}

void SpriteRenderObject2D::draw() {
  Renderer* renderer = RenderObject2D::display;
  if (!image || !renderer) return;
  ScreenPoint centre = worldToScreen(*renderer, position.x, position.y);
  x = centre.x - static_cast<int32_t>(image->width / 2);
  y = centre.y - static_cast<int32_t>(image->height / 2);
  renderer->drawImage(image, x, y);
}

}  // namespace zt
