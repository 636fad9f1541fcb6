// Start-up to the window shown: the runtime loading the program's main
// window against a bare Win32 program that registers a class and shows one
// empty window of the same size. Each is a child process of this one, timed
// from just before CreateProcess until its window has painted; the rounds
// alternate so both see the same machine. Prints the figures and the ratio.
//
//   window_startup_bench_win32.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "program/program_descriptor.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "window/unit_library.h"
#include "window/unit_types.h"
#include "window/window_engine_win32.h"

namespace {

using namespace kavrel;

constexpr WindowId kMainWindow = 0x52010001;

int64_t Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// Microseconds since `start` (a counter value of the parent); the counter is
// the same for every process of the machine.
int ElapsedSince(int64_t start) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return int((Now() - start) * 1000000 / f.QuadPart);
}

int RunBare(int64_t start) {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 482) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - 309) / 2;
  HWND hwnd = CreateWindowExA(0, "BareWindow", "Kavrel V1.2", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              x, y, 482, 309, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return -1;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  return ElapsedSince(start);
}

// The program's store when the unit library holds every type its main window
// uses; otherwise the main window's own record alone (caption, frame,
// background picture and icon are all in it).
std::vector<uint8_t> g_windowOnly;

const uint8_t* StoreFor(const ProgramDescriptor& program, uint32_t& size, bool& complete) {
  WindowTable table;
  std::span<const uint8_t> store(program.templateStore, program.templateStoreSize);
  complete = false;
  size = program.templateStoreSize;
  if (!LoadTemplateStore(store, *program.codeBase, table) || table.empty()) return program.templateStore;
  const std::span<const UnitTypeDescriptor> libraries[] = {UnitTypeTable()};
  const UnitTable& units = table.At(0)->units();
  complete = true;
  for (uint32_t i = 0; i < units.count(); ++i) {
    auto record = units.RecordAt(i);
    if (record && !FindUnitType(libraries, record->type())) complete = false;
  }
  if (complete) return program.templateStore;
  WindowDesign design = WindowDesignOf(*table.At(0), *program.codeBase);
  design.units.resize(1);
  g_windowOnly = WriteTemplateStore({&design, 1});
  size = uint32_t(g_windowOnly.size());
  return g_windowOnly.data();
}

int RunEngine(int64_t start) {
  static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
  static ProgramDescriptor program = TheProgramDescriptor();
  program.libraryCount = 1;
  program.libraries = libraries;
  bool complete = false;
  program.templateStore = StoreFor(TheProgramDescriptor(), program.templateStoreSize, complete);
  RuntimeApp& app = RuntimeApp::Instance();
  app.SetWindowEngine(&InstallWindowEngine(app));
  app.SetProgram(&program, nullptr);
  app.InitRuntime();
  app.LoadWindow(kMainWindow);
  auto* window = reinterpret_cast<Window*>(app.LibraryCallback(2006, kMainWindow, 0));
  if (!window) return -1;
  UpdateWindow(window->hwnd());
  const int elapsed = ElapsedSince(start);
  // Bit 30 tells the parent which window was measured.
  return elapsed | (complete ? 0x40000000 : 0);
}

int RunChild(const char* mode, int& flags) {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const int64_t start = Now();
  std::string line = "\"" + std::string(path) + "\" " + mode + " " + std::to_string(start);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  DWORD code = DWORD(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, DWORD(-1));
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (int(code) < 0) return -1;
  flags = int(code) & 0x40000000;
  return int(code) & 0x3FFFFFFF;
}

double Median(std::vector<int> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

void Print(const char* name, const std::vector<int>& us) {
  std::printf("%-28s median %8.1f ms   min %8.1f ms   max %8.1f ms   (%zu runs)\n", name, Median(us) / 1000.0,
              *std::min_element(us.begin(), us.end()) / 1000.0, *std::max_element(us.begin(), us.end()) / 1000.0,
              us.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--bare") == 0) ExitProcess(UINT(RunBare(std::atoll(argv[2]))));
  if (argc >= 3 && std::strcmp(argv[1], "--engine") == 0) ExitProcess(UINT(RunEngine(std::atoll(argv[2]))));
  const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
  std::vector<int> bare, engine;
  int flags = 0;
  bool complete = false;
  // One round of each first, unmeasured: the first process of a session
  // pays for loading the system libraries.
  RunChild("--bare", flags);
  RunChild("--engine", flags);
  for (int i = 0; i < rounds; ++i) {
    const int b = RunChild("--bare", flags);
    const int e = RunChild("--engine", flags);
    if (b < 0 || e < 0) {
      std::printf("a child failed (bare %d, engine %d)\n", b, e);
      return 1;
    }
    complete = flags != 0;
    bare.push_back(b);
    engine.push_back(e);
  }
  std::printf("process start to window shown, under Wine\n");
  Print("bare Win32 window", bare);
  Print(complete ? "runtime, main window" : "runtime, main window record", engine);
  std::printf("ratio (medians) %.2f\n", Median(engine) / Median(bare));
  return 0;
}
