#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace zt {

// Owns things of any type that refer to each other through plain pointers
// (scene objects, actions, schedules, pictures...): they are made here, live
// as long as the store and are destroyed with it, in no particular order, so
// none may use another in its destructor.
class Store {
 public:
  Store() = default;
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  template <typename T, typename... Args>
  T* make(Args&&... args) {
    return keep(std::make_unique<T>(std::forward<Args>(args)...));
  }

  // Takes over something made elsewhere; null stays null.
  template <typename T>
  T* keep(std::unique_ptr<T> thing) {
    T* raw = thing.get();
    if (raw) owned_.push_back(std::shared_ptr<T>(std::move(thing)));
    return raw;
  }

 private:
  // shared_ptr<void> remembers how to destroy what it holds.
  std::vector<std::shared_ptr<void>> owned_;
};

}  // namespace zt
