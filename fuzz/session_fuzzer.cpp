// libFuzzer target: bytes as a recorded session, through the parser and a
// replay as the headless runner plays it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "session_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem =
      zt::fuzz::checkSession(std::string(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    // Standard output: the fuzz script closes standard error.
    std::printf("check failed: %s\n", problem.c_str());
    std::fflush(stdout);
    std::abort();
  }
  return 0;
}
