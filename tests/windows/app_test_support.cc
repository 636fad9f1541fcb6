#include "app_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <stdexcept>

namespace {
thread_local bool t_failNext = false;
thread_local bool t_failOther = false;
}

void* operator new(std::size_t size) {
  void* p = t_failNext ? nullptr : std::malloc(size ? size : 1);
  const bool other = t_failOther;
  t_failNext = t_failOther = false;
  if (!p && other) throw std::runtime_error("injected");
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kavrel::test {

void FailNextAllocation(bool otherException) {
  t_failNext = true;
  t_failOther = otherException;
}

namespace {

constexpr char kChildFlag[] = "--kavrel-child";

std::map<std::string, ChildScenario>& Scenarios() {
  static std::map<std::string, ChildScenario> scenarios;
  return scenarios;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::string TextOf(HWND hwnd) {
  char text[2048] = {};
  SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

struct BoxSearch {
  const std::string* caption;
  HWND found;
};

// Dialog boxes of this process; with a caption, only those showing it.
BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId() || ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
  if (search->caption && TextOf(hwnd) != *search->caption) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND FindProcessBox(const std::string* caption) {
  BoxSearch search{caption, nullptr};
  EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ChildSearch {
  std::string best;
  int buttons;
};

BOOL CALLBACK InspectChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  std::string cls = ClassOf(hwnd);
  if (_stricmp(cls.c_str(), "Static") == 0) {
    std::string text = TextOf(hwnd);
    if (text.size() > search->best.size()) search->best = text;
  } else if (_stricmp(cls.c_str(), "Button") == 0) {
    ++search->buttons;
  }
  return TRUE;
}

}  // namespace

ChildRegistrar::ChildRegistrar(const char* name, ChildScenario scenario) { Scenarios()[name] = scenario; }

std::string ExecutablePath() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string ExecutableDir() {
  std::string path = ExecutablePath();
  return path.substr(0, path.rfind('\\'));
}

std::string ChildCommandLine(const std::string& scenario, const std::vector<std::string>& args) {
  std::string line = "\"" + ExecutablePath() +
                     "\" --gtest_filter=ChildProcess.DISABLED_Scenario --gtest_also_run_disabled_tests " + kChildFlag +
                     " " + scenario;
  for (const std::string& arg : args) line += " \"" + arg + "\"";
  return line;
}

std::optional<DWORD> RunChild(const std::string& scenario, const std::vector<std::string>& args,
                              const std::string& directory, DWORD timeoutMs) {
  std::string line = ChildCommandLine(scenario, args);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  auto start = [&] {
    return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &process) != FALSE;
  };
  // Wine now and then fails to start a process while the one before is still
  // going away; the harness tries once more before it calls that a failure.
  if (!start()) {
    const DWORD first = GetLastError();
    Sleep(250);
    if (!start()) {
      ADD_FAILURE() << "cannot start " << line << " (error " << first << ", then " << GetLastError() << ")";
      return std::nullopt;
    }
  }
  std::optional<DWORD> code;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    code = exitCode;
  } else {
    TerminateProcess(process.hProcess, 0xDEAD);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string TempPath(const char* stem) {
  static int serial = 0;
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  char name[MAX_PATH + 64];
  std::snprintf(name, sizeof name, "%skavrel_%s_%lu_%d_%lu.txt", dir, stem, GetCurrentProcessId(), ++serial,
                GetTickCount());
  DeleteFileA(name);
  return name;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void AppendFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << text;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string BoxText(HWND box) {
  // The box's message is its static control 0xFFFF; the longest static
  // text serves where that id differs.
  if (HWND text = GetDlgItem(box, 0xFFFF)) return TextOf(text);
  ChildSearch search{"", 0};
  EnumChildWindows(box, &InspectChild, reinterpret_cast<LPARAM>(&search));
  return search.best;
}

int BoxButtonCount(HWND box) {
  ChildSearch search{"", 0};
  EnumChildWindows(box, &InspectChild, reinterpret_cast<LPARAM>(&search));
  return search.buttons;
}

BoxWatcher::BoxWatcher(std::string caption, int button, Inspect inspect, void* context, DWORD limitMs)
    : caption_(std::move(caption)), button_(button), inspect_(inspect), context_(context), limitMs_(limitMs) {
  thread_ = std::thread([this] { Watch(); });
}

BoxWatcher::~BoxWatcher() { Join(); }

void BoxWatcher::Join() {
  if (thread_.joinable()) thread_.join();
}

void BoxWatcher::Watch() {
  DWORD start = GetTickCount();
  HWND box = nullptr;
  while (!box && GetTickCount() - start < limitMs_) {
    box = FindProcessBox(&caption_);
    if (!box) Sleep(20);
  }
  if (!box) {
    while (HWND other = FindProcessBox(nullptr)) {
      PostMessageA(other, WM_CLOSE, 0, 0);
      Sleep(200);
    }
    return;
  }
  // Let the box finish its initialisation before it is read.
  Sleep(100);
  text_ = BoxText(box);
  found_ = true;
  if (inspect_) inspect_(box, context_);
  if (button_ == 0) {
    PostMessageA(box, WM_CLOSE, 0, 0);
  } else {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button_)));
  }
}

// Runs the scenario named after the child flag; only a child started by
// RunChild gets here.
TEST(ChildProcess, DISABLED_Scenario) {
  for (int i = 1; i + 1 < __argc; ++i) {
    if (std::strcmp(__argv[i], kChildFlag) != 0) continue;
    auto it = Scenarios().find(__argv[i + 1]);
    ASSERT_NE(it, Scenarios().end()) << __argv[i + 1];
    std::vector<std::string> args(__argv + i + 2, __argv + __argc);
    std::fflush(stdout);
    ExitProcess(UINT(it->second(args)));
  }
  FAIL() << "no scenario named";
}

}  // namespace kavrel::test
