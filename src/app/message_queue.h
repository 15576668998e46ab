#pragma once

#include <deque>
#include <vector>

#include "app/platform.h"

namespace zt {

// Messages waiting for a backend's pump, which hands the game one message
// step a frame: the first waiting message, with those posted to go in the
// same step as the one before them.
class MessageQueue {
 public:
  void post(const WindowMessage& message, bool withPrevious = false) {
    queue_.push_back(Queued{message, withPrevious});
  }
  bool empty() const { return queue_.empty(); }

  // The next step's messages appended to `taken`; false when none wait.
  bool takeStep(std::vector<WindowMessage>& taken) {
    if (queue_.empty()) return false;
    do {
      taken.push_back(queue_.front().message);
      queue_.pop_front();
    } while (!queue_.empty() && queue_.front().withPrevious);
    return true;
  }

 private:
  struct Queued {
    WindowMessage message;
    bool withPrevious;
  };
  std::deque<Queued> queue_;
};

}  // namespace zt
