// Start-up, phase by phase: Kavrel.exe (beside this program) started with its
// start-up profile switched on, from process start to its first idle,
// against two bare Win32 programs that show one empty window of the same
// size and caption and then go idle: one plain, one that also calls
// OleInitialize first, as the runtime does. Every program is a child process
// timed from just before CreateProcess by the machine-wide steady clock; the
// rounds take turns so that all of them see the same machine.
//
//   startup_profile_win32.exe [rounds]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/startup_profile.h"

namespace {

using kavrel::ProfileClockNs;

constexpr char kIdle[] = "idle";

std::string ThisExe() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string ThisDir() {
  const std::string exe = ThisExe();
  return exe.substr(0, exe.find_last_of("\\/") + 1);
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A bare program: one empty window like Kavrel's, shown, painted, then idle
// until it is closed.
int RunBare(int64_t startNs, const char* file, bool ole) {
  kavrel::StartProfile(startNs, file);
  kavrel::MarkProfile("winmain");
  if (ole) {
    OleInitialize(nullptr);
    kavrel::MarkProfile("ole");
  }
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 482) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - 309) / 2;
  HWND hwnd = CreateWindowExA(0, "BareWindow", "Kavrel V1.2", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              x, y, 482, 309, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  kavrel::FinishProfile(kIdle);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};

Process Start(const std::string& commandLine) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::printf("cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
    return {};
  }
  CloseHandle(info.hThread);
  return {info.hProcess, info.dwProcessId};
}

struct WindowSearch {
  DWORD process = 0;
  HWND found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM search) {
  auto* s = reinterpret_cast<WindowSearch*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != s->process || !IsWindowVisible(hwnd)) return TRUE;
  s->found = hwnd;
  return FALSE;
}

// One repaint of the window's background, asked for from this process
// (invalidate, then UpdateWindow, which waits for the paint): microseconds,
// the median of 30.
long long RepaintFromOutside(DWORD process) {
  WindowSearch search{process, nullptr};
  EnumWindows(&FindWindowOf, LPARAM(&search));
  if (!search.found) return -1;
  std::vector<long long> times;
  for (int i = 0; i < 30; ++i) {
    const int64_t start = ProfileClockNs();
    InvalidateRect(search.found, nullptr, TRUE);
    UpdateWindow(search.found);
    times.push_back((ProfileClockNs() - start) / 1000);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

BOOL CALLBACK CloseWindowsOf(HWND hwnd, LPARAM process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == DWORD(process) && IsWindowVisible(hwnd)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

// Phase -> microseconds since process start, in the order of the file; a
// last entry "repaint" holds the median repaint measured from outside.
using Profile = std::vector<std::pair<std::string, long long>>;
constexpr char kRepaint[] = "repaint";

Profile ReadProfile(const std::string& path) {
  Profile profile;
  std::map<std::string, int> seen;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    long long us = 0;
    std::string phase, detail;
    if (!(words >> us >> phase)) continue;
    if (words >> detail) phase += " " + detail;
    // A phase that comes again (a second paint) is told apart by its count.
    if (const int n = ++seen[phase]; n > 1) phase += " (" + std::to_string(n) + ")";
    profile.emplace_back(phase, us);
  }
  return profile;
}

// One run: the program started with the profile's file and start named in
// its environment; its profile once it is idle, or nothing. A program that
// stays up (Kavrel) is then closed.
Profile RunOnce(const std::string& commandLine, bool passesArguments, int round) {
  const std::string file = ThisDir() + "startup-profile-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(round) + ".txt";
  DeleteFileA(file.c_str());
  const int64_t start = ProfileClockNs();
  SetEnvironmentVariableA("KAVREL_PROFILE_FILE", file.c_str());
  SetEnvironmentVariableA("KAVREL_PROFILE_START", std::to_string(start).c_str());
  const Process p = Start(passesArguments ? commandLine + " " + std::to_string(start) + " \"" + file + "\""
                                          : commandLine);
  SetEnvironmentVariableA("KAVREL_PROFILE_FILE", nullptr);
  SetEnvironmentVariableA("KAVREL_PROFILE_START", nullptr);
  if (!p.handle) return {};
  const DWORD deadline = GetTickCount() + 30000;
  while (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() < deadline) {
    if (WaitForSingleObject(p.handle, 1) == WAIT_OBJECT_0) break;
  }
  // Under Wine the renamed file can be seen a moment before it reads whole.
  Profile profile = ReadProfile(file);
  for (int attempt = 0; attempt < 100 && profile.empty() && GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
       ++attempt) {
    Sleep(5);
    profile = ReadProfile(file);
  }
  if (profile.empty()) {
    DWORD code = 0;
    GetExitCodeProcess(p.handle, &code);
    std::printf("no profile from %s: exit code %lx\n", commandLine.c_str(), code);
  }
  DeleteFileA(file.c_str());
  if (WaitForSingleObject(p.handle, 0) != WAIT_OBJECT_0) {
    if (!profile.empty()) profile.emplace_back(kRepaint, RepaintFromOutside(p.id));
    EnumWindows(&CloseWindowsOf, LPARAM(p.id));
    if (WaitForSingleObject(p.handle, 10000) != WAIT_OBJECT_0) TerminateProcess(p.handle, 1);
  }
  CloseHandle(p.handle);
  return profile;
}

double Median(std::vector<long long> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? double(v[n / 2]) : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Median of each phase over the runs, in the order of the first run.
void PrintProfile(const char* title, const std::vector<Profile>& runs) {
  std::printf("%s (ms since process start, medians of %zu runs)\n", title, runs.size());
  std::map<std::string, std::vector<long long>> byPhase;
  for (const Profile& run : runs)
    for (const auto& [phase, us] : run) byPhase[phase].push_back(us);
  long long previous = 0;
  for (const auto& [phase, us] : runs.front()) {
    (void)us;
    if (phase == kRepaint) continue;
    const double median = Median(byPhase[phase]);
    std::printf("  %-28s %8.1f   (+%.1f)\n", phase.c_str(), median / 1000.0, (median - previous) / 1000.0);
    previous = (long long)median;
  }
}

bool HasIdle(const Profile& profile) {
  for (const auto& [phase, us] : profile)
    if (phase == kIdle) return true;
  return false;
}

// The median of one phase over the runs; 0 when no run has it.
double PhaseMedian(const std::vector<Profile>& runs, const char* phase) {
  std::vector<long long> values;
  for (const Profile& run : runs)
    for (const auto& [name, us] : run)
      if (name == phase && us >= 0) values.push_back(us);
  return values.empty() ? 0 : Median(values);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && (std::strcmp(argv[1], "--bare") == 0 || std::strcmp(argv[1], "--bare-ole") == 0))
    return RunBare(std::atoll(argv[2]), argv[3], std::strcmp(argv[1], "--bare-ole") == 0);
  const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string kavrel = "\"" + ThisDir() + "Kavrel.exe\"";
  const std::string self = "\"" + ThisExe() + "\"";
  struct Subject {
    const char* title;
    std::string line;
    bool passesArguments;
    std::vector<Profile> runs;
  } subjects[] = {
      {"bare window", self + " --bare", true, {}},
      {"bare window with OleInitialize", self + " --bare-ole", true, {}},
      {"Kavrel.exe", kavrel, false, {}},
  };
  // One unmeasured round first: the first process of a session pays for
  // loading the system libraries.
  for (int round = -1; round < rounds; ++round) {
    for (Subject& s : subjects) {
      // A run that gives no profile is tried once more before the bench gives up.
      Profile profile = RunOnce(s.line, s.passesArguments, round + 1);
      if (!HasIdle(profile)) {
        std::printf("%s gave no profile%s%s; once more\n", s.title, profile.empty() ? "" : "; its last mark: ",
                    profile.empty() ? "" : profile.back().first.c_str());
        profile = RunOnce(s.line, s.passesArguments, round + 1);
      }
      if (!HasIdle(profile)) {
        std::printf("%s gave no profile%s%s\n", s.title, profile.empty() ? "" : "; its last mark: ",
                    profile.empty() ? "" : profile.back().first.c_str());
        return 1;
      }
      if (round >= 0) s.runs.push_back(std::move(profile));
    }
  }
  std::printf("process start to window shown and idle, under Wine\n");
  for (const Subject& s : subjects) PrintProfile(s.title, s.runs);
  const double kavrelIdle = PhaseMedian(subjects[2].runs, kIdle);
  std::printf("%-48s %6.2f x\n", "start to idle, Kavrel / bare window", kavrelIdle / PhaseMedian(subjects[0].runs, kIdle));
  std::printf("%-48s %6.2f x\n", "start to idle, Kavrel / bare window with OLE",
              kavrelIdle / PhaseMedian(subjects[1].runs, kIdle));
  const double kavrelRepaint = PhaseMedian(subjects[2].runs, kRepaint);
  const double bareRepaint = PhaseMedian(subjects[0].runs, kRepaint);
  std::printf("%-48s %6.2f ms against %.2f ms, %.2f x\n", "repaint from outside, Kavrel / bare window",
              kavrelRepaint / 1000, bareRepaint / 1000, kavrelRepaint / bareRepaint);
  return 0;
}
