#pragma once

#include <string>
#include <vector>

#include "scene/action.h"

namespace zt::test {

// An action that notes its name in a shared log and returns a chosen result.
class Recorder : public Action {
 public:
  Recorder(IdCounter& ids, std::vector<std::string>* log, std::string name, int32_t result = 0)
      : Action(ids), log(log), name(std::move(name)), result(result) {}
  int32_t execute() override {
    log->push_back(name);
    return result;
  }

  std::vector<std::string>* log;
  std::string name;
  int32_t result;
};

}  // namespace zt::test
