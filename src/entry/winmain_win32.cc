// Process entry of Kavrel.exe: the framework's WinMain runs the runtime's
// initialisation step, which binds the program to the services table and
// its commands and then runs ProgramMain.
#include <windows.h>

#include <cstdlib>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "base/startup_profile.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "window/window_engine_win32.h"

namespace {

int32_t StartProgram() {
  kavrel::BindProgramRuntime(&kavrel::TheRuntimeServices(), kavrel::TheProgramCommands());
  return kavrel::ProgramMain();
}

// The start-up bench names a file for the start-up profile and the clock's
// reading when it started this process; without them nothing is recorded.
void StartProfileFromEnvironment() {
  char path[MAX_PATH] = {};
  char start[32] = {};
  const DWORD pathLength = GetEnvironmentVariableA("KAVREL_PROFILE_FILE", path, sizeof path);
  const DWORD startLength = GetEnvironmentVariableA("KAVREL_PROFILE_START", start, sizeof start);
  if (pathLength == 0 || pathLength >= sizeof path || startLength == 0 || startLength >= sizeof start) return;
  kavrel::StartProfile(std::strtoll(start, nullptr, 10), path);
  kavrel::MarkProfile("winmain");
}

// From here on a DLL loaded by name comes from the system folder only, never
// from this program's folder or the working directory, where others may
// write. Windows 7 has the call only with its loader update: looked up.
void LoadDllsFromTheSystemOnly() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                    : nullptr;
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  using namespace kavrel;
  LoadDllsFromTheSystemOnly();
  StartProfileFromEnvironment();
  // The program's descriptor with the runtime's own unit library, the one
  // library this program uses.
  static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
  static ProgramDescriptor descriptor = TheProgramDescriptor();
  descriptor.libraryCount = 1;
  descriptor.libraries = libraries;

  RuntimeApp& app = RuntimeApp::Instance();
  app.SetProgram(&descriptor, &StartProgram);
  app.SetWindowEngine(&InstallWindowEngine(app));
  return RunApplication(app, instance, showCommand);
}
