// libFuzzer target: bytes as a picture file, through loadPng and loadImage.
#include <cstdio>
#include <cstdlib>

#include "loader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The loader opens files by name, as start-up does.
  static const std::string path = zt::fuzz::scratchPath(".png");
  if (!zt::fuzz::writeFile(path, data, size)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::abort();
  }
  const std::string problem = zt::fuzz::checkPngFile(path);
  if (!problem.empty()) {
    // Standard output: the fuzz script closes the loaders' standard error.
    std::printf("png check failed: %s\n", problem.c_str());
    std::fflush(stdout);
    std::abort();
  }
  return 0;
}
