#include "replay_run.h"

#include <png.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zt::test {

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

int TraceFrame::integer(const std::string& key) const {
  return std::stoi(text(key));
}

double TraceFrame::number(const std::string& key) const {
  return std::stod(text(key));
}

const std::string& TraceFrame::text(const std::string& key) const {
  auto found = fields.find(key);
  if (found == fields.end()) throw std::runtime_error("trace has no field " + key);
  return found->second;
}

TraceFrame parseTraceLine(const std::string& line) {
  TraceFrame frame;
  size_t at = 0;
  auto expect = [&](char c) {
    if (at >= line.size() || line[at] != c) {
      throw std::runtime_error("bad trace line at " + std::to_string(at) + ": " + line);
    }
    ++at;
  };
  auto readString = [&]() {
    expect('"');
    std::string out;
    while (at < line.size() && line[at] != '"') {
      if (line[at] == '\\') {
        ++at;
        if (at < line.size() && line[at] == 'u') {
          out += static_cast<char>(std::stoi(line.substr(at + 1, 4), nullptr, 16));
          at += 5;
          continue;
        }
      }
      if (at < line.size()) out += line[at++];
    }
    expect('"');
    return out;
  };
  expect('{');
  while (at < line.size() && line[at] != '}') {
    std::string key = readString();
    expect(':');
    std::string value;
    if (at < line.size() && line[at] == '"') {
      value = readString();
    } else {
      while (at < line.size() && line[at] != ',' && line[at] != '}') value += line[at++];
    }
    frame.fields[key] = value;
    if (at < line.size() && line[at] == ',') ++at;
  }
  expect('}');
  return frame;
}

ReplayRun runReplay(const std::vector<std::string>& options, const std::string& script) {
  ReplayRun run;
  const std::string build = buildDir();
  std::vector<std::string> args = {build + "/zummertock-replay", "--resources", build, "--trace",
                                   run.file("trace.jsonl")};
  if (!script.empty()) {
    std::ofstream(run.file("script.txt")) << script;
    args.push_back("--script");
    args.push_back(run.file("script.txt"));
  }
  // "{dir}" in an option stands for the run's folder.
  for (const std::string& option : options) {
    args.push_back(replaceAll(option, "{dir}", run.dir.path().string()));
  }
  ChildRun child = runProgram(args);
  run.status = child.status;
  run.out = std::move(child.out);
  run.err = std::move(child.err);
  std::istringstream lines(readFile(run.file("trace.jsonl")));
  for (std::string line; std::getline(lines, line);) run.trace.push_back(parseTraceLine(line));
  return run;
}

std::vector<uint8_t> readPngRgba(const std::string& path, uint32_t& width, uint32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    throw std::runtime_error("cannot read " + path);
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    throw std::runtime_error("cannot decode " + path);
  }
  width = image.width;
  height = image.height;
  return pixels;
}

}  // namespace zt::test
