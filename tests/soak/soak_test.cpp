// Long games through the runner: the autoplayer loses on purpose again and
// again (every mistake replays the level, every level change swaps colours
// and names), while the process's peak memory is measured after one virtual
// minute (half the soak, for short ones) and after the whole soak. Memory
// must stay flat.
//
// ZT_SOAK_MINUTES sets the soak's length; `make soak` runs 30. Without it,
// what `make test` runs: 2 minutes at 60 frames a second, 1 at 240.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zt::test {
namespace {

struct Soak {
  int status = -1;
  long peakKiB = 0;
  std::string summary;
};

// Runs the runner for `minutes` of virtual time at step dt, without trace or
// pictures, and returns its exit status, its peak resident memory and its
// summary line.
Soak soak(double dt, double minutes) {
  const std::string runner = std::string(std::getenv("ZT_BUILD_DIR")) + "/zummertock-replay";
  std::string mistakes;
  // Far more lost attempts than fit in the time: the game never ends early.
  for (int level = 0; level < 18; ++level) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      mistakes += (mistakes.empty() ? "" : ",") + std::to_string(level);
    }
  }
  char dtText[32];
  std::snprintf(dtText, sizeof dtText, "%.17g", dt);
  const long frames = std::lround(minutes * 60.0 / dt);
  const std::vector<std::string> args = {
      runner, "--autoplay", "--mistakes", mistakes,
      "--dt", dtText,       "--frames",   std::to_string(frames)};

  Soak result;
  int out[2];
  if (pipe(out) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  char buffer[256];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) result.summary.append(buffer, n);
  close(out[0]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.peakKiB = usage.ru_maxrss;
  return result;
}

double soakMinutes(double unset) {
  const char* text = std::getenv("ZT_SOAK_MINUTES");
  const double minutes = text ? std::atof(text) : unset;
  return minutes > 0.0 ? minutes : unset;
}

void soakAt(double dt, const char* name, double minutesUnset) {
  const double minutes = soakMinutes(minutesUnset);
  const double firstMinutes = std::min(1.0, minutes / 2.0);
  const Soak first = soak(dt, firstMinutes);
  const Soak whole = soak(dt, minutes);
  ASSERT_EQ(first.status, 0) << first.summary;
  ASSERT_EQ(whole.status, 0) << whole.summary;
  // The game was still being played when the time ran out, and lost often.
  const long frames = std::lround(minutes * 60.0 / dt);
  EXPECT_EQ(whole.summary.rfind("frames " + std::to_string(frames) + ", mode 4", 0), 0u)
      << whole.summary;
  int incorrect = 0;
  const size_t at = whole.summary.find("incorrect ");
  ASSERT_NE(at, std::string::npos) << whole.summary;
  incorrect = std::atoi(whole.summary.c_str() + at + 10);
  EXPECT_GT(incorrect, static_cast<int>(minutes * 20)) << whole.summary;

  std::string summary = whole.summary;
  while (!summary.empty() && summary.back() == '\n') summary.pop_back();
  std::printf("soak at dt %s: peak RSS %ld KiB after %g minutes, %ld KiB after %g minutes (%s)\n",
              name, first.peakKiB, firstMinutes, whole.peakKiB, minutes, summary.c_str());
  // Flat: the whole soak may use a little more than its first part
  // (allocator slack, the music's position in a longer clip), not more.
  EXPECT_LE(whole.peakKiB, first.peakKiB + 4096)
      << "memory grew from " << first.peakKiB << " KiB to " << whole.peakKiB << " KiB";
}

TEST(Soak, SixtyFramesASecond) {
  soakAt(1.0 / 60.0, "1/60", 2.0);
}

TEST(Soak, TwoHundredFortyFramesASecond) {
  soakAt(1.0 / 240.0, "1/240", 1.0);
}

}  // namespace
}  // namespace zt::test
