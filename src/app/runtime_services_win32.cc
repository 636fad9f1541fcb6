#include "app/runtime_services_win32.h"

#include "app/runtime_app_win32.h"
#include "commands/message_box_win32.h"
#include "commands/run_command_win32.h"
#include "commands/runtime_heap.h"
#include "commands/to_text.h"
#include "window/unit_library.h"

namespace kavrel {

namespace {

RuntimeApp& App() { return RuntimeApp::Instance(); }

void ServiceRaiseError(int32_t number) { App().RaiseError(number); }

PropertyBits ServiceGetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector) {
  WindowEngine* engine = App().windowEngine();
  return engine ? engine->GetUnitProperty(window, unit, index, selector) : 0;
}

void ServiceSetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector, uintptr_t low,
                            uint32_t high) {
  if (WindowEngine* engine = App().windowEngine()) engine->SetUnitProperty(window, unit, index, selector, low, high);
}

void ServiceEndProgram(int32_t code) { App().EndProgram(code); }
void ServiceRunMessageLoop() { App().RunMessageLoop(); }
void ServiceLoadWindow(WindowId id) { App().LoadWindow(id); }
intptr_t ServiceNotify(int32_t code, intptr_t arg1, intptr_t arg2) { return App().Notify(code, arg1, arg2); }

const RuntimeServices kServices{
    &ServiceRaiseError,
    nullptr,  // CallExternal: this program declares no external routines
    &CallCommand,
    &CallCommand,
    &ServiceGetUnitProperty,
    &ServiceSetUnitProperty,
    &Allocate,
    &Reallocate,
    &Free,
    &ServiceEndProgram,
    &ServiceRunMessageLoop,
    &ServiceLoadWindow,
    &ServiceNotify,
};

const ProgramCommands kCommands{&ShowMessageBox, &ToText, &Run};
const CommandFunction kLibraryCommands[] = {&ShowMessageBox, &ToText, &Run};

}  // namespace

const RuntimeServices& TheRuntimeServices() { return kServices; }
const ProgramCommands& TheProgramCommands() { return kCommands; }
const LibraryDescriptor& TheRuntimeLibrary() {
  static const LibraryDescriptor library{int32_t(UnitTypeTable().size()), UnitTypeTable().data(), 3, kLibraryCommands,
                                         &RuntimeLibraryNotify};
  return library;
}

intptr_t RuntimeLibraryNotify(int32_t code, intptr_t arg1, intptr_t) {
  if (code == library_notify::kStart) {
    SetLibraryHook(reinterpret_cast<LibraryCallbackFn>(arg1));
    return 0;
  }
  for (int32_t answered : library_notify::kAnsweredCodes)
    if (code == answered) return 0;
  return -1;
}

}  // namespace kavrel
