// The window engine behind the runtime's seam: loading windows from their
// templates, the requests units make, event dispatch, property access and
// the pre-translation of input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "framework/window_win32.h"
#include "templates/window_template.h"
#include "units/unit_type.h"
#include "window/event_dispatch.h"
#include "window/runtime_host.h"
#include "window/window_engine.h"

namespace kavrel {

class WindowUnit;

class WindowEngineWin32 final : public WindowEngine {
 public:
  // The installed engine.
  static WindowEngineWin32& Instance();

  bool LoadWindow(WindowTemplate& window, bool reload, HWND owner, bool modal) override;
  intptr_t LibraryRequest(int32_t code, intptr_t arg1, intptr_t arg2) override;
  PropertyBits GetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector) override;
  void SetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector, uintptr_t low,
                       uint32_t high) override;
  bool PreTranslateMessage(MSG* msg) override;
  bool AnyWindowAlive() override;
  bool IsWindowAlive(WindowId id) override;
  bool RaiseIdleEvent(WindowId id, uint32_t elapsedMs) override;
  void DestroyAllWindows() override;

  // The type tables request 1002 looks in, one per library; by default the
  // runtime's unit library alone.
  void SetUnitLibraries(std::vector<std::span<const UnitTypeDescriptor>> libraries);

  // Pieces the window unit uses.
  RuntimeHost& host() const { return host_; }
  WindowTable& windows() const;
  WindowTemplate* TemplateOf(WindowId id) const;
  // Request 1002 through the library hook.
  const UnitTypeDescriptor* TypeOf(UnitTypeId id) const;
  // The object in a record's slot while its window exists, else null.
  Window* LiveObjectAt(const UnitTable& table, uint32_t position) const;
  // The unit (position 1 and up) whose window is `hwnd` or, with
  // `containing`, one of its ancestors.
  std::optional<uint32_t> UnitPositionOf(const UnitTable& table, HWND hwnd, bool containing) const;
  // Raises an event through request 2008; true when a handler ran.
  bool RaiseEvent(WindowId window, UnitId unit, int32_t event, std::initializer_list<uint32_t> args = {},
                  SimpleEventRecord* record = nullptr);
  // True when the handler refused (ran and gave 0).
  bool RaiseVetoable(WindowId window, UnitId unit, int32_t event);
  bool loadingModal() const { return loadingModal_; }
  EventDispatcher::Source eventSource() const { return dispatcher_.source(); }

 private:
  friend WindowEngine& InstallWindowEngine(RuntimeHost& host);
  friend class WindowLoad;
  explicit WindowEngineWin32(RuntimeHost& host);

  WindowUnit* LiveWindow(const WindowTemplate& window) const;
  Window* LiveObject(WindowId window, UnitId unit) const;
  bool IsRuntimeWindow(HWND hwnd) const;
  void UnitGone(WindowId window, UnitId unit);
  bool RecreateUnit(WindowTemplate& window, uint32_t position, const UnitTypeDescriptor* type);
  PropertyBits LiveCommonProperty(Window* object, int32_t index) const;
  void SetLiveCommonProperty(Window* object, UnitTable& table, uint32_t position, int32_t index, uintptr_t low,
                             uint32_t high);

  RuntimeHost& host_;
  std::vector<std::span<const UnitTypeDescriptor>> libraries_;
  EventDispatcher dispatcher_;
  bool loadingModal_ = false;
  bool recreating_ = false;
};

// Makes the one engine, hosted by `host`, and installs the picture hooks it
// needs; start-up registers the engine with the runtime before the framework
// runs. Later calls give the same engine.
WindowEngine& InstallWindowEngine(RuntimeHost& host);

// The mouse pointer a record's pointer data gives: a system cursor for a
// standard id, a cursor made from a cursor file image after the id word,
// or null. Only made cursors are destroyed (DestroyUnitCursor).
HCURSOR BuildUnitCursor(std::span<const uint8_t> data);
void DestroyUnitCursor(uintptr_t cursor);

}  // namespace kavrel
