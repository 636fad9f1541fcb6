// Start-up, phase by phase: Kavrel.exe (beside this program) started with its
// start-up profile switched on, from process start to its first idle,
// against two bare Win32 programs that show one empty window of the same
// size and caption and then go idle (one plain, one that also calls
// OleInitialize first, as the runtime does), and against the twin: the same
// window made with the platform's machinery only (reference_dialog_win32.h).
// Every program is a child process timed from just before CreateProcess by
// the machine-wide steady clock; the rounds take turns so that all of them
// see the same machine. A second measure needs nothing from the child: from
// CreateProcess until its window is visible and has answered a WM_NULL sent
// with SendMessageTimeout. At idle, the private bytes, GDI objects and
// windows of Kavrel and of the twin are read from outside.
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
#include "base/startup_profile_win32.h"
#include "reference_dialog_win32.h"
#include "remote_process_win32.h"

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


// What was posted and asked to paint, then the first idle.
void DrainToIdle() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  kavrel::FinishProfile(kIdle);
}

// A bare program: one empty window like Kavrel's, shown, painted, then idle
// until it is closed.
// Each child records its profile as Kavrel does, to the handle it was given
// (none for the WM_NULL measure).
int RunBare(bool ole) {
  kavrel::StartProfileFromEnvironment();
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
  DrainToIdle();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

// The twin: Kavrel's start-up with the platform's machinery only. Its icon
// and background are its own resources, as Kavrel's are in its file.
int RunTwin() {
  kavrel::StartProfileFromEnvironment();
  OleInitialize(nullptr);
  kavrel::MarkProfile("ole");
  HINSTANCE module = GetModuleHandleA(nullptr);
  kavrel::bench::ReferenceDialog made;
  if (HRSRC found = FindResourceA(module, "BACKGROUND", MAKEINTRESOURCEA(10))) {  // RT_RCDATA
    HGLOBAL loaded = LoadResource(module, found);
    made.background = {static_cast<const uint8_t*>(LockResource(loaded)), size_t(SizeofResource(module, found))};
  }
  made.largeIcon = static_cast<HICON>(LoadImageA(module, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), 0));
  made.smallIcon = static_cast<HICON>(LoadImageA(module, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
  HWND dialog = kavrel::bench::CreateReferenceDialog(kavrel::bench::ReferenceDialogTemplate(), made);
  if (!dialog) return 1;
  kavrel::MarkProfile("dialog-created");
  ShowWindow(dialog, SW_SHOW);
  DrainToIdle();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // A modeless dialog stays after WM_CLOSE unless its owner ends it.
    if (msg.message == WM_CLOSE && msg.hwnd == dialog) break;
    if (IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(dialog);
  OleUninitialize();
  return 0;
}

struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};

// `inherit`: the child inherits this program's inheritable handles (the
// profile's).
Process Start(const std::string& commandLine, bool inherit) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, inherit, 0, nullptr, nullptr, &startup, &info)) {
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

// Phase -> microseconds since process start, in the order of the file. The
// figures read from outside follow, each under a name that starts with '@':
// the median repaint in microseconds, and at idle the private bytes in KiB,
// the GDI objects and the windows.
using Profile = std::vector<std::pair<std::string, long long>>;
constexpr char kRepaint[] = "@repaint";
constexpr char kPrivateKib[] = "@private";
constexpr char kGdiObjects[] = "@gdi";
constexpr char kWindows[] = "@windows";

// What the process holds at idle, read from outside.
void AddMemoryAtIdle(Profile& profile, const Process& p) {
  if (const auto bytes = kavrel::e2e::PrivateBytes(p.handle)) profile.emplace_back(kPrivateKib, (long long)(*bytes / 1024));
  if (const auto gdi = kavrel::e2e::CountGdiObjects(p.handle)) profile.emplace_back(kGdiObjects, *gdi);
  profile.emplace_back(kWindows, kavrel::e2e::CountWindows(p.id));
}

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
    if (phase == kIdle) break;  // the program's event marks may follow
  }
  return profile;
}

bool EndsIdle(const Profile& profile) { return !profile.empty() && profile.back().first == kIdle; }

// One run: the program started with an inherited handle of the profile's
// file and the start named in its environment; its profile once it is
// idle, or nothing. A program that stays up (Kavrel) is then closed.
Profile RunOnce(const std::string& commandLine, int round) {
  const std::string file = ThisDir() + "startup-profile-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(round) + ".txt";
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE sink = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (sink == INVALID_HANDLE_VALUE) return {};
  const int64_t start = ProfileClockNs();
  SetEnvironmentVariableA("KAVREL_PROFILE_HANDLE", std::to_string(uintptr_t(sink)).c_str());
  SetEnvironmentVariableA("KAVREL_PROFILE_START", std::to_string(start).c_str());
  const Process p = Start(commandLine, true);
  SetEnvironmentVariableA("KAVREL_PROFILE_HANDLE", nullptr);
  SetEnvironmentVariableA("KAVREL_PROFILE_START", nullptr);
  CloseHandle(sink);  // the child's copy stays open
  if (!p.handle) return {};
  // The profile comes in one write, at the first idle.
  Profile profile;
  const DWORD deadline = GetTickCount() + 30000;
  while (!EndsIdle(profile = ReadProfile(file)) && GetTickCount() < deadline) {
    if (WaitForSingleObject(p.handle, 1) == WAIT_OBJECT_0 && !EndsIdle(profile = ReadProfile(file))) break;
  }
  if (!EndsIdle(profile)) profile.clear();
  if (profile.empty()) {
    DWORD code = 0;
    GetExitCodeProcess(p.handle, &code);
    std::printf("no profile from %s: exit code %lx\n", commandLine.c_str(), code);
  }
  DeleteFileA(file.c_str());
  if (WaitForSingleObject(p.handle, 0) != WAIT_OBJECT_0) {
    if (!profile.empty()) {
      AddMemoryAtIdle(profile, p);
      profile.emplace_back(kRepaint, RepaintFromOutside(p.id));
    }
    EnumWindows(&CloseWindowsOf, LPARAM(p.id));
    if (WaitForSingleObject(p.handle, 10000) != WAIT_OBJECT_0) TerminateProcess(p.handle, 1);
  }
  CloseHandle(p.handle);
  DeleteFileA(file.c_str());
  return profile;
}

// Microseconds from just before CreateProcess until the child's window is
// visible and has answered a WM_NULL; -1 when it never does. The child is
// then closed.
long long RunUntilAnswering(const std::string& commandLine) {
  const int64_t start = ProfileClockNs();
  const Process p = Start(commandLine, false);
  if (!p.handle) return -1;
  long long us = -1;
  const DWORD deadline = GetTickCount() + 30000;
  while (us < 0 && GetTickCount() < deadline && WaitForSingleObject(p.handle, 0) != WAIT_OBJECT_0) {
    WindowSearch search{p.id, nullptr};
    EnumWindows(&FindWindowOf, LPARAM(&search));
    DWORD_PTR answer = 0;
    if (search.found && SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer))
      us = (ProfileClockNs() - start) / 1000;
    else
      Sleep(1);
  }
  EnumWindows(&CloseWindowsOf, LPARAM(p.id));
  if (WaitForSingleObject(p.handle, 10000) != WAIT_OBJECT_0) TerminateProcess(p.handle, 1);
  CloseHandle(p.handle);
  return us;
}

double Median(std::vector<long long> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? double(v[n / 2]) : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

bool HasIdle(const Profile& profile) {
  for (const auto& [phase, us] : profile)
    if (phase == kIdle) return true;
  return false;
}

// One phase of each run, in the order of the runs; -1 where a run lacks it.
std::vector<long long> PhaseValues(const std::vector<Profile>& runs, const char* phase) {
  std::vector<long long> values;
  for (const Profile& run : runs) {
    long long value = -1;
    for (const auto& [name, us] : run)
      if (name == phase) value = us;
    values.push_back(value);
  }
  return values;
}

// The median of one phase over the runs; 0 when no run has it.
double PhaseMedian(const std::vector<Profile>& runs, const char* phase) {
  std::vector<long long> values;
  for (long long us : PhaseValues(runs, phase))
    if (us >= 0) values.push_back(us);
  return values.empty() ? 0 : Median(values);
}

// Median of each phase over the runs, in the order of the first run.
void PrintProfile(const char* title, const std::vector<Profile>& runs) {
  std::printf("%s (ms since process start, medians of %zu runs)\n", title, runs.size());
  long long previous = 0;
  for (const auto& [phase, us] : runs.front()) {
    (void)us;
    if (phase[0] == '@') continue;
    const double median = PhaseMedian(runs, phase.c_str());
    std::printf("  %-28s %8.1f   (+%.1f)\n", phase.c_str(), median / 1000.0, (median - previous) / 1000.0);
    previous = (long long)median;
  }
}

// One program the bench starts, and its runs.
struct Subject {
  const char* title;
  std::string line;
  std::vector<Profile> runs;
  std::vector<long long> answering;  // the WM_NULL measure, microseconds
};

// The ratio of the medians, then that of each round's own pair: the two
// programs of a round run back to back, so its ratio is spared the drift of
// a shared machine between rounds. Given as the median and middle half of
// the rounds, it tells a figure from the noise around it.
void PrintRatio(const char* what, const std::vector<long long>& a, const std::vector<long long>& b) {
  std::vector<long long> ownA, ownB;
  std::vector<double> rounds;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] < 0 || b[i] <= 0) continue;
    ownA.push_back(a[i]);
    ownB.push_back(b[i]);
    rounds.push_back(double(a[i]) / double(b[i]));
  }
  if (rounds.empty()) return;
  std::sort(rounds.begin(), rounds.end());
  auto at = [&](double q) { return rounds[size_t(q * double(rounds.size() - 1) + 0.5)]; };
  std::printf("  %-46s %6.2f x   rounds %.2f x (middle half %.2f-%.2f)\n", what, Median(ownA) / Median(ownB),
              at(0.5), at(0.25), at(0.75));
}

void PrintMemory(const Subject& kavrel, const Subject& twin) {
  std::printf("at idle, medians (private bytes: GetProcessMemoryInfo, or under Wine the committed private regions)\n");
  for (const char* figure : {kPrivateKib, kGdiObjects, kWindows}) {
    const double k = PhaseMedian(kavrel.runs, figure), t = PhaseMedian(twin.runs, figure);
    const char* name = figure == kPrivateKib ? "private KiB" : figure == kGdiObjects ? "GDI objects" : "windows";
    std::printf("  %-14s Kavrel %9.0f   twin %9.0f   Kavrel - twin %+9.0f\n", name, k, t, k - t);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--bare") == 0 || std::strcmp(argv[1], "--bare-ole") == 0))
    return RunBare(std::strcmp(argv[1], "--bare-ole") == 0);
  if (argc >= 2 && std::strcmp(argv[1], "--twin") == 0) return RunTwin();
  const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string kavrel = "\"" + ThisDir() + "Kavrel.exe\"";
  const std::string self = "\"" + ThisExe() + "\"";
  Subject subjects[] = {
      {"bare window", self + " --bare", {}, {}},
      {"bare window with OleInitialize", self + " --bare-ole", {}, {}},
      {"twin (the same window, the platform's way)", self + " --twin", {}, {}},
      {"Kavrel.exe", kavrel, {}, {}},
  };
  Subject& bare = subjects[0];
  Subject& twin = subjects[2];
  Subject& program = subjects[3];
  // One unmeasured round first: the first process of a session pays for
  // loading the system libraries.
  for (int round = -1; round < rounds; ++round) {
    for (Subject& s : subjects) {
      // A run that gives no profile is tried once more before the bench gives up.
      Profile profile = RunOnce(s.line, round + 1);
      if (!HasIdle(profile)) {
        std::printf("%s gave no profile%s%s; once more\n", s.title, profile.empty() ? "" : "; its last mark: ",
                    profile.empty() ? "" : profile.back().first.c_str());
        profile = RunOnce(s.line, round + 1);
      }
      if (!HasIdle(profile)) {
        std::printf("%s gave no profile%s%s\n", s.title, profile.empty() ? "" : "; its last mark: ",
                    profile.empty() ? "" : profile.back().first.c_str());
        return 1;
      }
      if (round >= 0) s.runs.push_back(std::move(profile));
    }
    for (Subject* s : {&bare, &twin, &program}) {
      const long long us = RunUntilAnswering(s->line);
      if (us < 0) {
        std::printf("%s never showed a window that answered\n", s->title);
        return 1;
      }
      if (round >= 0) s->answering.push_back(us);
    }
  }
  std::printf("process start to window shown and idle, under Wine\n");
  for (const Subject& s : subjects) PrintProfile(s.title, s.runs);
  const std::vector<long long> kavrelIdle = PhaseValues(program.runs, kIdle), twinIdle = PhaseValues(twin.runs, kIdle),
                               bareIdle = PhaseValues(bare.runs, kIdle);
  std::printf("start to first idle, by the programs' own marks (medians)\n");
  PrintRatio("Kavrel / twin", kavrelIdle, twinIdle);
  PrintRatio("Kavrel / bare window", kavrelIdle, bareIdle);
  PrintRatio("twin / bare window", twinIdle, bareIdle);
  PrintRatio("Kavrel / bare window with OLE", kavrelIdle, PhaseValues(subjects[1].runs, kIdle));
  const double kavrelAnswer = Median(program.answering), twinAnswer = Median(twin.answering),
               bareAnswer = Median(bare.answering);
  std::printf("start to window visible and answering WM_NULL, from outside (medians: Kavrel %.1f ms, twin %.1f ms, "
              "bare window %.1f ms)\n",
              kavrelAnswer / 1000, twinAnswer / 1000, bareAnswer / 1000);
  PrintRatio("Kavrel / twin", program.answering, twin.answering);
  PrintRatio("Kavrel / bare window", program.answering, bare.answering);
  PrintRatio("twin / bare window", twin.answering, bare.answering);
  const double kavrelRepaint = PhaseMedian(program.runs, kRepaint);
  const double bareRepaint = PhaseMedian(bare.runs, kRepaint);
  std::printf("%-48s %6.2f ms against %.2f ms, %.2f x\n", "repaint from outside, Kavrel / bare window",
              kavrelRepaint / 1000, bareRepaint / 1000, kavrelRepaint / bareRepaint);
  PrintMemory(program, twin);
  return 0;
}
