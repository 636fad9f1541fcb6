// How long the runtime takes to load the main window (the window and its 21
// units from the template block) against the system building a dialog of
// 21 standard controls of the same sizes, with the same list entries, from
// an in-memory template (CreateDialogIndirectParamA) that sets the same fonts
// and icons and paints the same background picture. Both run in this one
// process, in turns, under the same conditions; the program prints the
// times and their ratio, first for creation alone (each decodes its picture
// and paints it once while it is made) and then including the painting
// that follows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "reference_dialog_win32.h"
#include "window/window_engine_win32.h"

namespace kavrel {
namespace {

constexpr WindowId kMainWindow = 0x52010001;
constexpr int kRounds = 25;
constexpr int kWarmUp = 3;

double Now() {
  static LARGE_INTEGER frequency{};
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER t{};
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Everything the new window posted or asked to paint.
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The window's background picture, which the dialog decodes and paints too.
std::vector<uint8_t> g_background;

struct Times {
  std::vector<double> create, paint;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* what, const Times& t) {
  auto [lo, hi] = std::minmax_element(t.create.begin(), t.create.end());
  std::printf("%-44s %8.2f ms median (%.2f to %.2f), %8.2f ms with painting\n", what, Median(t.create), *lo, *hi,
              Median(t.paint));
}

int32_t RunBenchmark() {
  BindProgramRuntime(&TheRuntimeServices(), TheProgramCommands());
  RuntimeApp& app = RuntimeApp::Instance();
  app.InitRuntime();
  auto found = app.windows().Find(kMainWindow);
  WindowEngine* engine = app.windowEngine();
  if (!found || !engine) {
    std::printf("the runtime has no window engine or no main window template\n");
    return 1;
  }
  {
    const std::string path = KAVREL_GENERATED_DIR "/background.jpg";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) file = std::fopen(("Z:" + path).c_str(), "rb");
    if (!file) {
      std::printf("%s missing; build the generator first\n", path.c_str());
      return 1;
    }
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) g_background.insert(g_background.end(), chunk, chunk + n);
    std::fclose(file);
  }
  const std::vector<WORD> dialogTemplate = bench::ReferenceDialogTemplate();
  HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  const bench::ReferenceDialog reference{g_background, icon, icon};

  Times window, dialog;
  for (int round = 0; round < kWarmUp + kRounds; ++round) {
    double t0 = Now();
    if (!engine->LoadWindow(*found->window, false, nullptr, false)) {
      std::printf("LoadWindow failed\n");
      return 1;
    }
    double t1 = Now();
    Drain();
    double t2 = Now();
    HWND loaded = FindWindowA("WTWindow", "Kavrel V1.2");
    if (!loaded) {
      std::printf("the loaded window is not there\n");
      return 1;
    }
    DestroyWindow(loaded);
    Drain();

    double d0 = Now();
    HWND made = bench::CreateReferenceDialog(dialogTemplate, reference);
    ShowWindow(made, SW_SHOW);
    double d1 = Now();
    Drain();
    double d2 = Now();
    if (!made) {
      std::printf("CreateDialogIndirectParamA failed (%lu)\n", GetLastError());
      return 1;
    }
    DestroyWindow(made);
    Drain();

    if (round < kWarmUp) continue;
    window.create.push_back(t1 - t0);
    window.paint.push_back(t2 - t0);
    dialog.create.push_back(d1 - d0);
    dialog.paint.push_back(d2 - d0);
  }
  std::printf("main window load against an equivalent dialog, %d rounds each, in turns\n", kRounds);
  Report("LoadWindow, the window and 21 units", window);
  Report("CreateDialogIndirectParamA, 21 controls", dialog);
  std::printf("%-44s %8.2f x, %8.2f x with painting\n", "ratio", Median(window.create) / Median(dialog.create),
              Median(window.paint) / Median(dialog.paint));
  std::fflush(stdout);
  return 0;
}

int32_t BenchmarkMain() {
  if (RunBenchmark() != 0) {
    std::fflush(stdout);
    ExitProcess(1);
  }
  return 0;  // no message loop: straight to the runtime's shutdown, which ends the process with 0
}

}  // namespace
}  // namespace kavrel

int main() {
  using namespace kavrel;
  RuntimeApp::Instance().SetWindowEngine(&InstallWindowEngine(RuntimeApp::Instance()));
  static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
  static ProgramDescriptor descriptor = TheProgramDescriptor();
  descriptor.libraryCount = 1;
  descriptor.libraries = libraries;
  RuntimeApp& app = RuntimeApp::Instance();
  app.SetProgram(&descriptor, &BenchmarkMain);
  return RunApplication(app, GetModuleHandleW(nullptr), SW_SHOWNORMAL);
}
