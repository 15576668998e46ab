#include "check.h"

#include <cstring>

namespace zt::test {

namespace {
int failures = 0;
bool sound = true;
}  // namespace

std::vector<Case>& cases() {
  static std::vector<Case> all;
  return all;
}

void fail(const char* file, int line, const std::string& what) {
  ++failures;
  std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
}

bool soundExpected() {
  return sound;
}
void setSoundExpected(bool expected) {
  sound = expected;
}

}  // namespace zt::test

// Usage: zt-win32-tests [--no-sound] [name-substring]
int main(int argc, char** argv) {
  const char* filter = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-sound") == 0) {
      zt::test::setSoundExpected(false);
    } else {
      filter = argv[i];
    }
  }
  int passed = 0;
  int failed = 0;
  for (const auto& c : zt::test::cases()) {
    if (filter != nullptr && std::strstr(c.name, filter) == nullptr) continue;
    const int before = zt::test::failures;
    c.body();
    const bool ok = zt::test::failures == before;
    std::printf("%s %s\n", ok ? "ok    " : "FAILED", c.name);
    std::fflush(stdout);
    (ok ? passed : failed)++;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
