// A program that must never run. The planted suites put copies of it beside
// Kavrel.exe under the names that the system's cmd and netsh would be found
// by there (cmd.exe, netsh.exe, netsh.com); each run leaves
// "<its own path>.ran" behind and ends. standin.cmd does the same as a
// batch file.
#include <windows.h>

#include <string>

int main() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  if (n == 0 || n >= path.size()) return 1;
  path.resize(n);
  path += L".ran";
  HANDLE mark = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (mark == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(mark);
  return 0;
}
