// Process entry of Kavrel.exe: the framework's WinMain runs the runtime's
// initialisation step, which binds the program to the services table and
// its commands and then runs ProgramMain.
#include <windows.h>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "framework/code_page_win32.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "window/window_engine_win32.h"

namespace {

int32_t StartProgram() {
  kavrel::BindProgramRuntime(&kavrel::TheRuntimeServices(), kavrel::TheProgramCommands(),
                             kavrel::ActiveCodePageBytes());
  return kavrel::ProgramMain();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  using namespace kavrel;
  // The program's descriptor with the runtime's own unit library, the one
  // library this program uses.
  static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
  static ProgramDescriptor descriptor = TheProgramDescriptor();
  descriptor.libraryCount = 1;
  descriptor.libraries = libraries;

  RuntimeApp& app = RuntimeApp::Instance();
  app.SetProgram(&descriptor, &StartProgram);
  app.SetWindowEngine(&InstallWindowEngine(app));
  return RunApplication(app, instance, commandLine, showCommand);
}
