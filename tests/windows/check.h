#pragma once

// A small test runner for the Windows backend's program, which runs under
// Wine where GoogleTest is not built: named cases, checks that record the
// failing line and go on, and a closing "N passed, N failed" line.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zt::test {

struct Case {
  const char* name;
  std::function<void()> body;
};

std::vector<Case>& cases();
void fail(const char* file, int line, const std::string& what);

struct Register {
  Register(const char* name, std::function<void()> body) {
    cases().push_back({name, std::move(body)});
  }
};

// Whether the run has a sound server (the runner's --no-sound says not).
bool soundExpected();
void setSoundExpected(bool expected);

}  // namespace zt::test

#define ZT_CONCAT2(a, b) a##b
#define ZT_CONCAT(a, b) ZT_CONCAT2(a, b)
#define TEST_CASE(name)                                                                         \
  static void ZT_CONCAT(testBody, __LINE__)();                                                  \
  static ::zt::test::Register ZT_CONCAT(testRegister, __LINE__)(name,                           \
                                                                ZT_CONCAT(testBody, __LINE__)); \
  static void ZT_CONCAT(testBody, __LINE__)()

#define CHECK(condition) ((condition) ? (void)0 : ::zt::test::fail(__FILE__, __LINE__, #condition))
#define CHECK_EQ(a, b)                                                                           \
  (((a) == (b)) ? (void)0                                                                        \
                : ::zt::test::fail(__FILE__, __LINE__,                                           \
                                   std::string(#a " == " #b " (") + std::to_string(a) + " vs " + \
                                       std::to_string(b) + ")"))
