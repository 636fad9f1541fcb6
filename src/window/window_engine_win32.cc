#include "window/window_engine_win32.h"

#include <algorithm>
#include <map>
#include <set>

#include "commands/library_interface.h"
#include "commands/runtime_error.h"
#include "base/byte_reader.h"
#include "units/unit_interface_win32.h"
#include "window/unit_library.h"
#include "pictures/picture.h"
#include "pictures/picture_win32.h"
#include "window/property_access.h"
#include "window/window_unit_win32.h"

namespace kavrel {

namespace {

WindowEngineWin32* g_engine = nullptr;

bool EventsBlocked() { return g_engine->host().EventsBlocked(); }

// Cursors made from pointer data; system cursors are shared and never destroyed.
std::set<uintptr_t>& MadeCursors() {
  static std::set<uintptr_t> cursors;
  return cursors;
}

}  // namespace

HCURSOR BuildUnitCursor(std::span<const uint8_t> data) {
  ByteReader reader(data);
  uint32_t id = 0;
  if (!reader.ReadU32(id)) return nullptr;
  if (id != 0) {
    if (StandardPointerPosition(id) < 0) return nullptr;
    return static_cast<HCURSOR>(
        LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  }
  if (data.size() <= 4) return nullptr;
  // A cursor or icon file follows the id word.
  Picture* picture = DecodePicture(data.data() + 4, int32_t(std::min<size_t>(data.size() - 4, 0x7FFFFFFF)));
  HCURSOR cursor = nullptr;
  if (picture && picture->icon) cursor = CopyIcon(reinterpret_cast<HICON>(picture->icon));
  FreePicture(picture);
  if (cursor) MadeCursors().insert(reinterpret_cast<uintptr_t>(cursor));
  return cursor;
}

void DestroyUnitCursor(uintptr_t cursor) {
  if (!cursor || !MadeCursors().erase(cursor)) return;
  DestroyCursor(reinterpret_cast<HCURSOR>(cursor));
}

WindowEngineWin32& WindowEngineWin32::Instance() { return *g_engine; }

WindowEngineWin32::WindowEngineWin32(RuntimeHost& host)
    : host_(host), libraries_{UnitTypeTable()}, dispatcher_(&host.windows(), libraries_, &EventsBlocked) {}

WindowEngine& InstallWindowEngine(RuntimeHost& host) {
  InstallPictureIconHooks();
  static WindowEngineWin32 engine(host);
  g_engine = &engine;
  return engine;
}

void WindowEngineWin32::SetUnitLibraries(std::vector<std::span<const UnitTypeDescriptor>> libraries) {
  libraries_ = std::move(libraries);
  dispatcher_.SetTypes(libraries_);
}

WindowTable& WindowEngineWin32::windows() const {
  auto* table = reinterpret_cast<WindowTable*>(CallLibrary(request::kWindowTable, 0, 0));
  return table ? *table : host_.windows();
}

WindowTemplate* WindowEngineWin32::TemplateOf(WindowId id) const {
  auto found = windows().Find(id);
  return found ? found->window : nullptr;
}

const UnitTypeDescriptor* WindowEngineWin32::TypeOf(UnitTypeId id) const {
  return reinterpret_cast<const UnitTypeDescriptor*>(CallLibrary(request::kTypeDescriptor, intptr_t(id), 0));
}

Window* WindowEngineWin32::LiveObjectAt(const UnitTable& table, uint32_t position) const {
  auto* object = static_cast<Window*>(table.SlotsAt(position).object);
  return object && IsWindow(object->hwnd()) ? object : nullptr;
}

std::optional<uint32_t> WindowEngineWin32::UnitPositionOf(const UnitTable& table, HWND hwnd, bool containing) const {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    for (uint32_t i = 1; i < table.count(); ++i) {
      auto* object = static_cast<Window*>(table.SlotsAt(i).object);
      if (object && object->hwnd() == h) return i;
    }
    if (!containing || !(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return std::nullopt;
}

WindowUnit* WindowEngineWin32::LiveWindow(const WindowTemplate& window) const {
  return WindowUnit::FromWindow(LiveObjectAt(window.units(), 0));
}

Window* WindowEngineWin32::LiveObject(WindowId window, UnitId unit) const {
  WindowTemplate* t = TemplateOf(window);
  if (!t) return nullptr;
  const UnitTable& table = t->units();
  std::optional<uint32_t> position = unit == 0 ? std::optional<uint32_t>(0) : table.PositionOf(unit);
  if (!position || !LiveObjectAt(table, 0)) return nullptr;
  return LiveObjectAt(table, *position);
}

bool WindowEngineWin32::IsRuntimeWindow(HWND hwnd) const {
  if (!hwnd) return false;
  WindowTable& table = windows();
  for (size_t w = 0; w < table.size(); ++w) {
    const UnitTable& units = table.At(w)->units();
    for (uint32_t i = 0; i < units.count(); ++i) {
      Window* object = LiveObjectAt(units, i);
      if (object && object->hwnd() == hwnd) return true;
    }
  }
  return false;
}

bool WindowEngineWin32::RaiseEvent(WindowId window, UnitId unit, int32_t event, std::initializer_list<uint32_t> args,
                                   SimpleEventRecord* record) {
  SimpleEventRecord r;
  r.window = window;
  r.unit = unit;
  r.event = event;
  for (uint32_t a : args) {
    if (r.argCount == 5) break;
    r.args[r.argCount++] = a;
  }
  const bool ran = CallLibrary(request::kRaiseEvent, reinterpret_cast<intptr_t>(&r), 0) != 0;
  if (record) *record = r;
  return ran;
}

bool WindowEngineWin32::RaiseVetoable(WindowId window, UnitId unit, int32_t event) {
  SimpleEventRecord r;
  const bool ran = RaiseEvent(window, unit, event, {}, &r);
  return EventVetoed(ran, r);
}

void WindowEngineWin32::UnitGone(WindowId window, UnitId unit) {
  if (recreating_) return;
  WindowTemplate* t = TemplateOf(window);
  if (!t) return;
  UnitTable& table = t->units();
  if (unit == 0 || unit == table.IdAt(0)) {
    t->RestoreTableAfterDestroy();
    host_.EndModal(window);
    return;
  }
  std::optional<uint32_t> position = table.PositionOf(unit);
  if (!position) return;
  // A unit made again while its old object was still inside a message of its
  // own: the old object ends later, when the slots already hold the new one,
  // which still has its window.
  auto* object = static_cast<Window*>(table.SlotsAt(*position).object);
  if (object && object->hwnd()) return;
  DestroyUnitCursor(table.SlotsAt(*position).cursor);
  table.ClearSlots(*position);
}

intptr_t WindowEngineWin32::LibraryRequest(int32_t code, intptr_t arg1, intptr_t arg2) {
  switch (code) {
    case request::kTypeDescriptor:
      return reinterpret_cast<intptr_t>(FindUnitType(libraries_, UnitTypeId(arg1)));
    case request::kIsRuntimeWindow:
      return IsRuntimeWindow(reinterpret_cast<HWND>(arg1)) ? 1 : 0;
    case request::kUnitGone:
      UnitGone(WindowId(arg1), UnitId(arg2));
      return 0;
    case request::kLiveObject:
      return reinterpret_cast<intptr_t>(LiveObject(WindowId(arg1), UnitId(arg2)));
    case request::kLiveObjectOrFail: {
      Window* object = LiveObject(WindowId(arg1), UnitId(arg2));
      if (!object) ReportFatal(kLiveObjectMissing, 0);
      return reinterpret_cast<intptr_t>(object);
    }
    case request::kRaiseEvent: {
      auto* record = reinterpret_cast<SimpleEventRecord*>(arg1);
      if (!record) return 0;
      dispatcher_.SetWindows(&windows());
      return dispatcher_.Dispatch(*record) ? 1 : 0;
    }
    case request::kRaiseTypedEvent: {
      auto* record = reinterpret_cast<TypedEventRecord*>(arg1);
      if (!record) return 0;
      dispatcher_.SetWindows(&windows());
      return dispatcher_.Dispatch(*record) ? 1 : 0;
    }
    default:
      return 0;
  }
}

bool WindowEngineWin32::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd) {
    HWND root = GetAncestor(msg->hwnd, GA_ROOT);
    if (WindowUnit* window = WindowUnit::FromWindow(Window::FromHandle(root))) return window->PreTranslateInput(msg);
  }
  return Window::PreTranslateChain(msg);
}

bool WindowEngineWin32::AnyWindowAlive() {
  WindowTable& table = windows();
  for (size_t i = 0; i < table.size(); ++i)
    if (LiveObjectAt(table.At(i)->units(), 0)) return true;
  return false;
}

bool WindowEngineWin32::IsWindowAlive(WindowId id) {
  WindowTemplate* t = TemplateOf(id);
  return t && LiveObjectAt(t->units(), 0);
}

bool WindowEngineWin32::RaiseIdleEvent(WindowId id, uint32_t elapsedMs) {
  SimpleEventRecord r;
  const bool ran = RaiseEvent(id, 0, window_event::kIdle, {elapsedMs}, &r);
  return ran && r.hasResult && r.result != 0;
}

void WindowEngineWin32::DestroyAllWindows() {
  WindowTable& table = windows();
  for (size_t i = 0; i < table.size(); ++i) {
    if (Window* object = LiveObjectAt(table.At(i)->units(), 0)) DestroyWindow(object->hwnd());
  }
}

}  // namespace kavrel
