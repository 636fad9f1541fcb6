// The seam between the application core and the window engine. The core
// owns start-up, the loop, shutdown and the window table; the engine owns
// live windows, their units, event dispatch and property access. The engine
// registers one WindowEngine with RuntimeApp (RuntimeApp::SetWindowEngine)
// before ProgramMain runs; with none registered, LoadWindow fails with the
// start-up window error and every forwarded request answers 0.
//
// Neutral header: the Win32 handle types are only named, never defined here.
#pragma once

#include <cstdint>

#include "commands/runtime_services.h"

struct HWND__;
struct tagMSG;

namespace kavrel {

class WindowTemplate;

class WindowEngine {
 public:
  virtual ~WindowEngine() = default;

  // Creates and shows the window of `window`; false when it cannot (the load
  // is then undone). `owner` is null for none.
  virtual bool LoadWindow(WindowTemplate& window, bool reload, HWND__* owner, bool modal) = 0;

  // LibraryCallback requests served by the engine: 1002, 1014, 2000, 2006,
  // 2007, 2008 and 2031, with their arguments as the units pass them. The
  // live objects of 2006 and 2007 are framework Window objects (a command
  // takes its owner window from Window::hwnd()).
  virtual intptr_t LibraryRequest(int32_t code, intptr_t arg1, intptr_t arg2) = 0;

  // The services entries 4 and 5 forward here unchanged.
  virtual PropertyBits GetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector) = 0;
  virtual void SetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector, uintptr_t low,
                               uint32_t high) = 0;

  // Offered every message before it is translated and dispatched; true when
  // the engine consumed it. The engine runs the framework's own step
  // (Window::PreTranslateChain) where its order puts it.
  virtual bool PreTranslateMessage(tagMSG* msg) = 0;

  // True while any window created from the window table is alive.
  virtual bool AnyWindowAlive() = 0;

  // True while the window of `id` is alive.
  virtual bool IsWindowAlive(WindowId id) = 0;

  // Raises idle event 7 on the live window of `id` with the milliseconds
  // since the idle period began; true when its handler gave a non-zero value.
  virtual bool RaiseIdleEvent(WindowId id, uint32_t elapsedMs) = 0;

  // Shutdown is about to destroy the window templates: destroy every live
  // window now (events are already blocked), so none outlives its template.
  virtual void DestroyAllWindows() = 0;
};

}  // namespace kavrel
