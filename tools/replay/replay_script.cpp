#include "replay_script.h"

#include <algorithm>
#include <sstream>

namespace zt {

namespace {

bool parseKey(const std::string& word, uint32_t& key) {
  if (word == "right")
    key = kVkRight;
  else if (word == "d")
    key = kVkD;
  else if (word == "escape")
    key = kVkEscape;
  else
    return false;
  return true;
}

}  // namespace

bool parseScript(const std::string& text, std::vector<ScriptEvent>& events, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string frameWord, verb, keyWord, extra;
    if (!(words >> frameWord)) continue;  // blank or comment only
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (frameWord.find_first_not_of("0123456789") != std::string::npos || frameWord.size() > 18) {
      return fail("expected a frame number, got '" + frameWord + "'");
    }
    ScriptEvent event;
    event.frame = std::stoull(frameWord);
    if (!(words >> verb)) return fail("missing event");
    if (verb == "down" || verb == "up") {
      uint32_t key = 0;
      if (!(words >> keyWord) || !parseKey(keyWord, key)) {
        return fail("expected right, d or escape after '" + verb + "'");
      }
      event.message = WindowMessage{
          verb == "down" ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp, key};
    } else if (verb == "about") {
      event.message = WindowMessage{WindowMessage::Kind::Command, kCommandAbout};
    } else if (verb == "close") {
      event.message = WindowMessage{WindowMessage::Kind::Destroy, 0};
    } else {
      return fail("unknown event '" + verb + "'");
    }
    if (words >> extra) return fail("unexpected '" + extra + "'");
    events.push_back(event);
  }
  // Events are queued in frame order; a stable sort keeps same-frame order.
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  return true;
}

}  // namespace zt
