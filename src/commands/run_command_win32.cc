#include "commands/run_command_win32.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "base/startup_profile.h"
#include "commands/runtime_heap.h"
#include "framework/program_text_win32.h"

namespace kavrel {

namespace {

constexpr wchar_t kNoCurrentDirectory[] = L"NoDefaultCurrentDirectoryInExePath";
// The longest command line CreateProcess takes, its terminator included.
constexpr size_t kMaxCommandLine = 32767;

std::wstring SystemFolder(UINT (WINAPI* get)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT n = get(path, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::wstring(path, n) : std::wstring();
}

// "C:\..." or "\\server\...": a folder that does not depend on the working
// directory.
bool IsAbsolute(std::wstring_view folder) {
  return (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) ||
         (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\');
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// PATH's folders, those that name a place of their own only: an empty or
// relative entry would be the working directory.
std::vector<std::wstring> PathFolders() {
  std::vector<std::wstring> folders;
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (size == 0) return folders;
  std::wstring path(size, L'\0');
  const DWORD n = GetEnvironmentVariableW(L"PATH", path.data(), size);
  if (n == 0 || n >= size) return folders;
  path.resize(n);
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find(L';', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring folder = path.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') folder = folder.substr(1, folder.size() - 2);
    if (IsAbsolute(folder)) folders.push_back(std::move(folder));
    start = end + 1;
  }
  return folders;
}

// A copy of this process's environment with NoDefaultCurrentDirectoryInExePath
// set, in its place by name, so that the child's own searches (cmd's for
// netsh) leave out the working directory. Empty when the environment cannot
// be read; the child then gets this process's as it is.
std::vector<wchar_t> ChildEnvironment() {
  std::vector<wchar_t> block;
  const wchar_t* strings = GetEnvironmentStringsW();
  if (!strings) return block;
  const wchar_t* end = strings;
  while (*end) end += std::wcslen(end) + 1;
  const std::wstring_view added = L"NoDefaultCurrentDirectoryInExePath=1";
  const int nameLength = int(std::wcslen(kNoCurrentDirectory));
  const wchar_t* at = end;
  for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
    const wchar_t* equals = *entry == L'=' ? nullptr : std::wcschr(entry, L'=');
    if (!equals) continue;  // a drive's folder ("=C:=..."): those come first
    // Sorted by name as the system sorts it: ordinal, upper-cased.
    const int order = CompareStringOrdinal(entry, int(equals - entry), kNoCurrentDirectory, nameLength, TRUE);
    if (order == CSTR_EQUAL) {
      at = nullptr;  // set already: its value does not matter
      break;
    }
    if (order == CSTR_GREATER_THAN && at == end) at = entry;
  }
  if (at) {
    block.assign(strings, at);
    block.insert(block.end(), added.begin(), added.end());
    block.push_back(L'\0');
    block.insert(block.end(), at, end);
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(const_cast<wchar_t*>(strings));
  return block;
}

}  // namespace

uint16_t RunShowCommand(bool given, int32_t showMode) {
  static constexpr uint16_t kShow[6] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                        SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  int32_t mode = given ? showMode : 2;
  if (mode < 1) mode = 1;
  if (mode > 6) mode = 6;
  return kShow[mode - 1];
}

std::wstring ProgramToStart(std::wstring_view line) {
  const size_t start = line.find_first_not_of(L" \t");
  if (start == std::wstring_view::npos) return {};
  line.remove_prefix(start);
  std::wstring_view name;
  if (line.front() == L'"') {
    line.remove_prefix(1);
    name = line.substr(0, line.find(L'"'));
  } else {
    name = line.substr(0, line.find_first_of(L" \t"));
  }
  if (name.empty()) return {};
  // Where the line says where the file is, it is taken from there.
  if (name.find_first_of(L"\\/:") != std::wstring_view::npos) return std::wstring(name);
  std::wstring file(name);
  if (file.find(L'.') == std::wstring::npos) file += L".exe";
  std::vector<std::wstring> folders = {SystemFolder(&GetSystemDirectoryW), SystemFolder(&GetWindowsDirectoryW)};
  for (std::wstring& folder : PathFolders()) folders.push_back(std::move(folder));
  for (std::wstring& folder : folders) {
    if (folder.empty()) continue;
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    if (IsFile(folder + file)) return folder + file;
  }
  return {};
}

void Run(CommandResult* result, int32_t count, const CommandArg* args) {
  result->low = 0;
  if (count < 1 || !args) return;
  const char* line = args[0].Text();
  bool wait = count >= 2 && args[1].Low32() != 0;
  bool showGiven = count >= 3 && args[2].tag != tags::kNone;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = RunShowCommand(showGiven, showGiven ? args[2].Int() : 0);

  // The program is looked for in the system's folders only, never in this
  // program's own folder or the working directory, where anyone who can
  // write there could put a cmd.exe of their own. It starts in the system
  // folder, so that what it looks up there (cmd's netsh, the DLLs of both)
  // is the system's too.
  const std::string_view text = line ? line : "";
  const std::wstring program = ProgramToStart(WideText(text));
  const std::wstring folder = SystemFolder(&GetSystemDirectoryW);
  std::vector<wchar_t> environment = ChildEnvironment();
  // The system may write into the command line, so it gets a copy, from the
  // runtime heap: running out of memory is the fatal report. A 936 text has
  // no more UTF-16 units than bytes.
  const size_t units = text.size() + 1;
  if (units > size_t(INT32_MAX) / sizeof(wchar_t)) return;
  auto* commandLine = static_cast<wchar_t*>(Allocate(int32_t(units * sizeof(wchar_t))));
  // A line longer than the system's limit starts nothing (Wine would take
  // it where Windows does not).
  const bool fits = WideTextInto(text, commandLine, units) < kMaxCommandLine;
  PROCESS_INFORMATION process{};
  const BOOL started =
      fits && !program.empty() &&
      CreateProcessW(program.c_str(), commandLine, nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                     environment.empty() ? nullptr : environment.data(), folder.empty() ? nullptr : folder.c_str(),
                     &startup, &process);
  const DWORD error = started ? 0 : fits ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  Free(commandLine);
  MarkEvent(started ? "process-started" : "process-failed", started ? int32_t(process.dwProcessId) : int32_t(error));
  if (!started) return;
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
  } else {
    WaitForInputIdle(process.hProcess, 1000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result->low = 1;
}

}  // namespace kavrel
