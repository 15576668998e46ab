// The program's resources as Windows reads them: the texts, the accelerator
// table, the About box template, the hidden menu, the icons and the manifest.
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "check.h"

namespace {

constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The raw bytes of a resource in US English, or null.
const BYTE* resourceBytes(LPCWSTR type, LPCWSTR name, DWORD* size = nullptr) {
  HRSRC found = FindResourceExW(nullptr, type, name, kUsEnglish);
  if (found == nullptr) return nullptr;
  if (size != nullptr) *size = SizeofResource(nullptr, found);
  return static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
}

std::wstring loadString(UINT id) {
  wchar_t buffer[100] = {};
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, buffer, 100);
  return std::wstring(buffer, length);
}

std::string narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// Reads the pieces of a dialog template in order.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : start_(data), at_(data) {}
  WORD word() { return take<WORD>(); }
  DWORD dword() { return take<DWORD>(); }
  short shortValue() { return take<short>(); }
  BYTE byte() { return take<BYTE>(); }
  // A name or ordinal field: the text, or "#n" for an ordinal, or "".
  std::string nameOrOrdinal() {
    const WORD first = word();
    if (first == 0) return "";
    if (first == 0xFFFF) return "#" + std::to_string(word());
    std::wstring text(1, static_cast<wchar_t>(first));
    for (WORD c = word(); c != 0; c = word()) text += static_cast<wchar_t>(c);
    return narrow(text);
  }
  std::string text() {
    std::wstring result;
    for (WORD c = word(); c != 0; c = word()) result += static_cast<wchar_t>(c);
    return narrow(result);
  }
  void alignToDword() {
    while ((at_ - start_) % 4 != 0) ++at_;
  }
  void skip(size_t bytes) { at_ += bytes; }

 private:
  template <typename T>
  T take() {
    T value;
    std::memcpy(&value, at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  const BYTE* start_;
  const BYTE* at_;
};

}  // namespace

TEST_CASE("the title and class name strings") {
  CHECK(loadString(103) == L"QQQQQQQQ");
  CHECK(loadString(109) == L"QQQQQQQQ");
}

// Read from the resource's entries (as the menu below), not through a
// loaded table whose handle Wine may now and then lose.
TEST_CASE("accelerator table 109 has Alt+? and Alt+/ for command 104") {
  DWORD size = 0;
  const BYTE* data = resourceBytes(RT_ACCELERATOR, MAKEINTRESOURCEW(109), &size);
  CHECK(data != nullptr);
  if (data == nullptr) return;
  CHECK_EQ(size, 16u);  // two 8-byte entries: flags, key, command, padding
  TemplateReader in(data);
  std::set<std::pair<WORD, WORD>> keys;
  for (DWORD i = 0; i < size / 8; ++i) {
    const WORD flags = in.word();
    const WORD key = in.word();
    const WORD command = in.word();
    in.word();
    CHECK_EQ(flags & (FALT | FVIRTKEY | FSHIFT | FCONTROL), FALT);
    CHECK_EQ((flags & 0x80) != 0, i + 1 == size / 8);  // the last entry is marked
    CHECK_EQ(command, 104);
    keys.insert({key, command});
  }
  CHECK(keys.count({'?', 104}) == 1);
  CHECK(keys.count({'/', 104}) == 1);
}

TEST_CASE("dialog 103 is the About box template") {
  const BYTE* data = resourceBytes(RT_DIALOG, MAKEINTRESOURCEW(103));
  CHECK(data != nullptr);
  if (data == nullptr) return;
  TemplateReader in(data);
  CHECK_EQ(in.word(), 1);       // version of an extended template
  CHECK_EQ(in.word(), 0xFFFF);  // its signature
  in.dword();                   // help id
  CHECK_EQ(in.dword(), 0u);     // extended style
  const DWORD style = in.dword();
  const DWORD wanted = DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  CHECK_EQ(style & wanted, wanted);
  const WORD items = in.word();
  CHECK_EQ(items, 4);
  CHECK_EQ(in.shortValue(), 0);
  CHECK_EQ(in.shortValue(), 0);
  CHECK_EQ(in.shortValue(), 170);
  CHECK_EQ(in.shortValue(), 62);
  CHECK(in.nameOrOrdinal().empty());  // no menu
  CHECK(in.nameOrOrdinal().empty());  // the standard dialog class
  CHECK(in.text() == "About florbit");
  CHECK_EQ(in.word(), 8);  // points
  in.word();               // weight
  in.byte();               // italic
  in.byte();               // character set
  CHECK(in.text() == "MS Shell Dlg");

  struct Control {
    const char* windowClass;  // "#128" button, "#130" static
    const char* text;         // null: not checked (the notice line)
    int id, x, y, width, height;
    DWORD styles;
    DWORD kind;  // the style's low nibble: static type or button type
  };
  const Control controls[] = {
      {"#130", "#128", -1, 14, 14, 21, 20, 0, SS_ICON},
      {"#130", "florbit, Version 1.0", -1, 42, 14, 114, 8, SS_NOPREFIX | WS_GROUP, SS_LEFT},
      {"#130", nullptr, -1, 42, 26, 114, 8, WS_GROUP, SS_LEFT},
      {"#128", "OK", IDOK, 113, 41, 50, 14, WS_GROUP | WS_TABSTOP, BS_DEFPUSHBUTTON},
  };
  for (int i = 0; i < items && i < 4; ++i) {
    const Control& c = controls[i];
    in.alignToDword();
    in.dword();  // help id
    in.dword();  // extended style
    const DWORD controlStyle = in.dword();
    CHECK_EQ(controlStyle & c.styles, c.styles);
    CHECK_EQ(controlStyle & 0xF, c.kind);
    CHECK_EQ(in.shortValue(), c.x);
    CHECK_EQ(in.shortValue(), c.y);
    CHECK_EQ(in.shortValue(), c.width);
    CHECK_EQ(in.shortValue(), c.height);
    CHECK_EQ(static_cast<int>(static_cast<int16_t>(in.dword())), c.id);
    CHECK(in.nameOrOrdinal() == c.windowClass);
    const std::string text = in.nameOrOrdinal();
    if (c.text != nullptr) {
      CHECK(text == c.text);
    } else {
      CHECK(!text.empty());
    }
    in.skip(in.word());  // creation data
  }
}

// Read from the template rather than through LoadMenuW: Wine's menu handles
// now and then come back invalid in a process that has made and destroyed
// windows, which would make this check fail for Wine's sake.
TEST_CASE("menu 109 holds File/Exit and Help/About") {
  const BYTE* data = resourceBytes(RT_MENU, MAKEINTRESOURCEW(109));
  CHECK(data != nullptr);
  if (data == nullptr) return;
  TemplateReader in(data);
  CHECK_EQ(in.word(), 0);  // a standard menu template, version 0
  CHECK_EQ(in.word(), 0);  // no header extension
  struct Item {
    WORD flags;
    WORD id;
    std::string text;
  };
  auto item = [&in](bool popup) {
    Item result{in.word(), 0, ""};
    CHECK_EQ((result.flags & MF_POPUP) != 0, popup);
    if (!popup) result.id = in.word();
    result.text = in.text();
    return result;
  };
  const Item file = item(true);
  CHECK(file.text == "&File");
  CHECK_EQ(file.flags & MF_END, 0);
  const Item exit = item(false);
  CHECK(exit.text == "E&xit");
  CHECK_EQ(exit.id, 105);
  CHECK_EQ(exit.flags & MF_END, MF_END);
  const Item help = item(true);
  CHECK(help.text == "&Help");
  CHECK_EQ(help.flags & MF_END, MF_END);
  const Item about = item(false);
  CHECK(about.text == "&About ...");
  CHECK_EQ(about.id, 104);
  CHECK_EQ(about.flags & MF_END, MF_END);
}

TEST_CASE("icon groups 107 and 108 hold the eight sizes and depths") {
  // 32 and 16 at 4 bits; 48, 32 and 16 at 8 and at 32 bits.
  const std::set<std::pair<int, int>> wanted = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                                                {16, 8}, {48, 32}, {32, 32}, {16, 32}};
  for (WORD group : {107, 108}) {
    const BYTE* data = resourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(group));
    CHECK(data != nullptr);
    if (data == nullptr) continue;
    TemplateReader in(data);
    in.word();
    CHECK_EQ(in.word(), 1);  // icons, not cursors
    const WORD count = in.word();
    CHECK_EQ(count, 8);
    std::set<std::pair<int, int>> found;
    for (WORD i = 0; i < count; ++i) {
      in.skip(12);  // size, colours, planes, bit count, bytes: read from the image itself
      const WORD id = in.word();
      // Each image is a bitmap header plus pixels; its own header tells size
      // and depth whatever the directory entry says.
      const BYTE* image = resourceBytes(RT_ICON, MAKEINTRESOURCEW(id));
      CHECK(image != nullptr);
      if (image == nullptr) continue;
      BITMAPINFOHEADER header;
      std::memcpy(&header, image, sizeof header);
      CHECK_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
      CHECK_EQ(header.biHeight, header.biWidth * 2);  // colour and mask halves
      found.insert({header.biWidth, header.biBitCount});
    }
    CHECK(found == wanted);
  }
}

TEST_CASE("the manifest asks for the invoker's rights without UI access") {
  DWORD size = 0;
  const BYTE* data = resourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1), &size);
  CHECK(data != nullptr);
  if (data == nullptr) return;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CHECK(text.find("level=\"asInvoker\"") != std::string::npos);
  CHECK(text.find("uiAccess=\"false\"") != std::string::npos);
}
