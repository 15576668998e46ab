// Compiled into the core library of the Windows build.
#include "core/thread_name.h"

#include <windows.h>

#include <string>

namespace zt {

void nameThisThread(const char* name) {
  // SetThreadDescription came with Windows 10 (1607); look it up so the
  // program still starts on systems without it.
  using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel ? GetProcAddress(kernel, "SetThreadDescription") : nullptr;
  if (!found) return;
  // Through the generic function type, which converts to any other.
  auto describe = reinterpret_cast<Describe>(reinterpret_cast<void (*)()>(found));
  const std::string narrow(name);
  describe(GetCurrentThread(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

}  // namespace zt
