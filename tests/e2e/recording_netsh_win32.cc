// The netsh.exe of the end-to-end tests. Installed into the prefix's
// system32 and run instead of Wine's own (WINEDLLOVERRIDES=netsh.exe=n), it
// changes nothing: it appends what it was asked to do, and by whom, to the
// log named by KAVREL_NETSH_LOG (else C:\kavrel-netsh.log) and ends with 0.
// Every text is recorded as the system gave it in UTF-16, written as UTF-8,
// so that tests compare characters, not bytes of some code page.
#include <windows.h>

#include "netsh_record.h"
#include "remote_process_win32.h"

namespace {

constexpr char kDefaultLog[] = "C:\\kavrel-netsh.log";

std::string LogPath() {
  char path[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("KAVREL_NETSH_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return kDefaultLog;
  return path;
}

// The test may be reading, or another netsh writing: the file is opened
// for this process alone, so a record is never interleaved with another.
HANDLE OpenLogExclusive(const std::string& path) {
  for (int attempt = 0; attempt < 2000; ++attempt) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_ACCESS_DENIED)
      return INVALID_HANDLE_VALUE;
    Sleep(5);
  }
  return INVALID_HANDLE_VALUE;
}


std::string Utf8(const wchar_t* wide, size_t n) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, int(n), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide, int(n), out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace kavrel::e2e;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);

  NetshRecord record;
  record.startTicks = uint64_t(now.QuadPart);
  record.pid = GetCurrentProcessId();
  const wchar_t* line = GetCommandLineW();
  record.commandLine = Utf8(line, wcslen(line));
  for (int i = 0; i < argc; ++i) record.args.push_back(Utf8(argv[i], wcslen(argv[i])));
  wchar_t directory[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH + 1, directory);
  if (n > 0 && n <= MAX_PATH) record.workingDirectory = Utf8(directory, n);
  record.searchesWorkingDirectory = NeedCurrentDirectoryForExePathW(L"netsh") != FALSE;
  record.parentPid = ParentProcessId(GetCurrentProcess());
  if (auto parent = FindProcess(record.parentPid)) {
    record.parentImage = parent->image;
    record.grandparentPid = parent->parentPid;
  }
  if (HANDLE parent = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, record.parentPid)) {
    if (auto line = RemoteCommandLine(parent)) record.parentCommandLine = *line;
    CloseHandle(parent);
  }

  kavrel::ByteWriter out;
  AppendNetshRecord(out, record);
  HANDLE log = OpenLogExclusive(LogPath());
  if (log == INVALID_HANDLE_VALUE) return 1;
  SetFilePointer(log, 0, nullptr, FILE_END);
  DWORD written = 0;
  BOOL ok = WriteFile(log, out.bytes().data(), DWORD(out.size()), &written, nullptr) && written == out.size();
  CloseHandle(log);
  return ok ? 0 : 1;
}
