#include "scene/game_object.h"

#include <algorithm>

#include "display/display_interface.h"
#include "scene/image.h"
#include "script/action.h"

namespace zt {

int32_t nextGameObjectId = 0;

GameObject::GameObject() : id(nextGameObjectId++) {}

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

DrawingObject::DrawingObject(DisplayInterface* display) : display(display) {}

SpriteObject::SpriteObject(DisplayInterface* display, Image* image)
    : DrawingObject(display), image(image) {}

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

RenderObject2D::RenderObject2D(DisplayInterface* display) : display(display) {}

// The first part is constructed first, so it takes id n and the sprite part n + 1.
SpriteRenderObject2D::SpriteRenderObject2D(DisplayInterface* display, Image* image)
    : RenderObject2D(display), SpriteObject(display, image) {}

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
  if (!image) return;
  // Only a Renderer knows the world view; the game always gives it one.
  DisplayInterface* target = RenderObject2D::display;
  const Renderer* renderer = target ? target->asRenderer() : nullptr;
  if (!renderer) return;
  ScreenPoint centre = worldToScreen(*renderer, position.x, position.y);
  x = centre.x - static_cast<int32_t>(image->width / 2);
  y = centre.y - static_cast<int32_t>(image->height / 2);
  target->drawImage(image, x, y);
}

}  // namespace zt
