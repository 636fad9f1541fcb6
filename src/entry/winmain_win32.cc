// Process entry of Kavrel.exe: the framework's WinMain runs the runtime's
// initialisation step, which binds the program to the services table and
// its commands and then runs ProgramMain.
#include <windows.h>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "base/startup_profile_win32.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "window/window_engine_win32.h"

namespace {

int32_t StartProgram() {
  kavrel::BindProgramRuntime(&kavrel::TheRuntimeServices(), kavrel::TheProgramCommands());
  return kavrel::ProgramMain();
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
