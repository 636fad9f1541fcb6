#include "base/startup_profile_win32.h"

#include <windows.h>

#include <cstdint>

#include "base/startup_profile.h"

namespace kavrel {

namespace {

HANDLE g_sink = nullptr;

bool WriteToHandle(const char* bytes, size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(g_sink, bytes, DWORD(size), &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

// A decimal number of at most `digits` digits, all of the variable.
bool NumberOf(const wchar_t* name, int digits, uint64_t& value) {
  wchar_t text[24] = {};
  const DWORD n = GetEnvironmentVariableW(name, text, 24);
  if (n == 0 || n > DWORD(digits)) return false;
  value = 0;
  for (DWORD i = 0; i < n; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    value = value * 10 + uint64_t(text[i] - L'0');
  }
  return true;
}

}  // namespace

void StartProfileFromEnvironment() {
  uint64_t number = 0, start = 0;
  if (!NumberOf(L"KAVREL_PROFILE_HANDLE", 10, number) || !NumberOf(L"KAVREL_PROFILE_START", 19, start)) return;
  HANDLE handle = reinterpret_cast<HANDLE>(uintptr_t(number));
  // Handed down: an inherited handle keeps its flag. A file or a pipe, and
  // one open for writing (an empty write is refused otherwise).
  DWORD flags = 0, written = 0;
  if (!GetHandleInformation(handle, &flags) || !(flags & HANDLE_FLAG_INHERIT)) return;
  const DWORD type = GetFileType(handle);
  if ((type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) || !WriteFile(handle, "", 0, &written, nullptr)) return;
  g_sink = handle;
  StartProfile(int64_t(start), &WriteToHandle);
  MarkProfile("winmain");
}

}  // namespace kavrel
