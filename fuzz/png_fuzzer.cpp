// libFuzzer target: bytes as a picture file, through loadPng and loadImage.
#include "loader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zt::fuzz::fuzzOneFile(data, size, ".png", zt::fuzz::checkPngFile);
}
