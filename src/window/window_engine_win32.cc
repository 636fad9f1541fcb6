#include "window/window_engine_win32.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/runtime_app_win32.h"
#include "commands/runtime_error.h"
#include "templates/byte_reader.h"
#include "units/unit_interface_win32.h"
#include "units/unit_library.h"
#include "window/picture.h"
#include "window/picture_win32.h"
#include "window/property_access.h"
#include "window/window_unit_win32.h"

namespace kavrel {

namespace {

constexpr int32_t kRequestWindowTable = 1001;
constexpr int32_t kRequestTypeDescriptor = 1002;
constexpr int32_t kRequestIsRuntimeWindow = 1014;
constexpr int32_t kRequestUnitGone = 2000;
constexpr int32_t kRequestLiveObject = 2006;
constexpr int32_t kRequestLiveObjectOrFail = 2007;
constexpr int32_t kRequestDispatch = 2008;
constexpr int32_t kRequestBlockEvents = 2009;
constexpr int32_t kRequestUnblockEvents = 2010;
constexpr int32_t kRequestDispatchTyped = 2031;

constexpr int32_t kFirstChildId = 100;
constexpr int32_t kChildIdStep = 10;

RuntimeApp& App() { return RuntimeApp::Instance(); }

bool EventsBlocked() { return App().EventsBlocked(); }

uint32_t ExtraStyle(uint32_t flags) {
  uint32_t style = 0;
  if (flags & kUnitDisabled) style |= WS_DISABLED;
  if (flags & kUnitTabStop) style |= WS_TABSTOP;
  return style;
}

// Cursors made from pointer data; system cursors are shared and never destroyed.
std::set<uintptr_t>& MadeCursors() {
  static std::set<uintptr_t> cursors;
  return cursors;
}

// The menu bar of a window with menu item records: one item per visible
// record, in table order, with its command id from the record's position.
HMENU BuildMenu(const UnitTable& units) {
  if (!units.HasMenuItems()) return nullptr;
  HMENU menu = CreateMenu();
  if (!menu) return nullptr;
  for (uint32_t i = 0; i < units.count(); ++i) {
    auto item = units.MenuItemAt(i);
    if (!item || (item->flags() & 1)) continue;
    UINT flags = MF_STRING;
    if (item->flags() & 2) flags |= MF_GRAYED;
    if (item->flags() & 4) flags |= MF_CHECKED;
    const std::string text(item->text());
    AppendMenuA(menu, flags, kMenuCommandBase + i, text.c_str());
  }
  return menu;
}

}  // namespace

HCURSOR BuildUnitCursor(std::span<const uint8_t> data) {
  ByteReader reader(data);
  uint32_t id = 0;
  if (!reader.ReadU32(id)) return nullptr;
  if (id != 0) {
    if (StandardPointerPosition(id) < 0) return nullptr;
    return static_cast<HCURSOR>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
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

WindowEngineWin32& WindowEngineWin32::Instance() {
  static WindowEngineWin32 engine;
  return engine;
}

WindowEngineWin32::WindowEngineWin32()
    : libraries_{UnitTypeTable()}, dispatcher_(&App().windows(), libraries_, &EventsBlocked) {}

void InstallWindowEngine() {
  InstallPictureIconHooks();
  App().SetWindowEngine(&WindowEngineWin32::Instance());
}

void WindowEngineWin32::SetUnitLibraries(std::vector<std::span<const UnitTypeDescriptor>> libraries) {
  libraries_ = std::move(libraries);
  dispatcher_.SetTypes(libraries_);
}

WindowTable& WindowEngineWin32::windows() const {
  auto* table = reinterpret_cast<WindowTable*>(App().CallLibrary(kRequestWindowTable, 0, 0));
  return table ? *table : App().windows();
}

WindowTemplate* WindowEngineWin32::TemplateOf(WindowId id) const {
  auto found = windows().Find(id);
  return found ? found->window : nullptr;
}

const UnitTypeDescriptor* WindowEngineWin32::TypeOf(UnitTypeId id) const {
  return reinterpret_cast<const UnitTypeDescriptor*>(App().CallLibrary(kRequestTypeDescriptor, intptr_t(id), 0));
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
    if (!containing || !(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
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
  const bool ran = App().CallLibrary(kRequestDispatch, reinterpret_cast<intptr_t>(&r), 0) != 0;
  if (record) *record = r;
  return ran;
}

bool WindowEngineWin32::RaiseVetoable(WindowId window, UnitId unit, int32_t event) {
  SimpleEventRecord r;
  const bool ran = RaiseEvent(window, unit, event, {}, &r);
  return EventVetoed(ran, r);
}

bool WindowEngineWin32::LoadWindow(WindowTemplate& window, bool reload, HWND owner, bool modal) {
  RuntimeApp& app = App();
  WindowTable& table = windows();
  const WindowId id = table.IdOf(&window).value_or(window.id);
  if (WindowUnit* live = LiveWindow(window)) {
    // One window per template: a window that is up is brought forward
    // (and, on a reload, shown) rather than made a second time.
    HWND h = live->hwnd();
    if (reload) ShowWindow(h, SW_SHOW);
    if (IsIconic(h)) {
      ShowWindow(h, SW_RESTORE);
    } else {
      SetForegroundWindow(h);
      SetActiveWindow(h);
    }
    return true;
  }
  if (modal) {
    owner = nullptr;
  } else if (owner && !IsWindow(owner)) {
    return false;
  }
  UnitTable& units = window.units();
  if (units.count() == 0 || units.IsMenuItem(0)) return false;

  app.CallLibrary(kRequestBlockEvents, 0, 0);
  window.SaveTableForLoad();
  HMENU menu = BuildMenu(units);
  HACCEL accelerator = nullptr;  // menu items of this runtime carry no shortcut keys
  const uint32_t count = units.count();
  std::vector<bool> visible(count, false);
  WindowUnit* windowObject = nullptr;

  // Gives the load up. The window is not kept half-built: destroying it
  // takes its units with it and puts the template state back.
  auto fail = [&]() {
    if (accelerator) DestroyAcceleratorTable(accelerator);
    // A menu not yet handed to a created window is still ours. (A window
    // whose creation failed late may have taken it down already.)
    if (menu && IsMenu(menu)) DestroyMenu(menu);
    if (windowObject) {
      DestroyWindow(windowObject->hwnd());
    } else {
      window.RestoreTableAfterDestroy();
    }
    window.DropSavedTable();
    app.CallLibrary(kRequestUnblockEvents, 0, 0);
    return false;
  };

  auto own = units.RecordAt(0);
  if (!own) return fail();
  {
    auto create = TypeInterface<CreateWindowUnitFn>(TypeOf(own->type()), iface::kCreate);
    if (!create) return fail();
    const UnitRect r = own->rect();
    std::span<const uint8_t> blob = own->properties();
    loadingModal_ = modal;
    Window* object = create(owner, blob.data(), int32_t(blob.size()), ExtraStyle(own->flags()), owner, 0, menu,
                            r.left, r.top, r.width, r.height, id, units.IdAt(0), 0);
    loadingModal_ = false;
    windowObject = WindowUnit::FromWindow(object);
    if (!windowObject) {
      if (object) {
        if (GetMenu(object->hwnd()) == menu) menu = nullptr;  // destroyed with its window
        DestroyWindow(object->hwnd());
      }
      return fail();
    }
    menu = nullptr;  // the window owns it now
    units.SetObject(0, windowObject);
    visible[0] = reload || own->visible();
  }
  HWND hwnd = windowObject->hwnd();

  int32_t childId = kFirstChildId;
  for (uint32_t i = count - 1; i >= 1; --i) {
    if (units.IsMenuItem(i)) continue;
    auto record = units.RecordAt(i);
    if (!record) return fail();
    const UnitTypeDescriptor* type = TypeOf(record->type());
    auto create = TypeInterface<CreateUnitFn>(type, iface::kCreate);
    if (!create) return fail();
    const UnitRect r = record->rect();
    std::span<const uint8_t> blob = record->properties();
    Window* unit = create(blob.data(), int32_t(blob.size()), ExtraStyle(record->flags()), hwnd, childId, 0, r.left,
                          r.top, r.width, r.height, id, record->id(), 0, 0);
    childId += kChildIdStep;
    if (!unit) return fail();
    units.SetObject(i, unit);
    visible[i] = record->visible() && !(type->stateFlags & typeflag::kNeverShown);
  }

  // Each unit goes onto the window of its container.
  for (uint32_t i = 1; i < count; ++i) {
    auto record = units.RecordAt(i);
    if (!record) continue;
    auto* unit = static_cast<Window*>(units.SlotsAt(i).object);
    if (record->parent() != 0) {
      std::optional<uint32_t> at = units.PositionOf(record->parent());
      auto* container = at ? static_cast<Window*>(units.SlotsAt(*at).object) : nullptr;
      if (container && container != windowObject) SetParent(unit->hwnd(), container->hwnd());
    }
    const UnitTypeDescriptor* type = TypeOf(record->type());
    if (type && (type->stateFlags & typeflag::kPaged)) {
      // Only the first page of a paged container shows.
      bool pastFirstPage = false;
      for (uint32_t c = 0; c < record->childCount(); ++c) {
        const UnitId child = record->child(c);
        if (child == 0) {
          pastFirstPage = true;
          continue;
        }
        if (!pastFirstPage) continue;
        if (auto at = units.PositionOf(child)) visible[*at] = false;
      }
    }
  }

  // Stacking: record order within each parent, the first on top.
  std::map<HWND, HWND> lastOfParent;
  for (uint32_t i = 1; i < count; ++i) {
    auto* unit = static_cast<Window*>(units.SlotsAt(i).object);
    if (!unit) continue;
    HWND parent = GetParent(unit->hwnd());
    auto last = lastOfParent.find(parent);
    SetWindowPos(unit->hwnd(), last == lastOfParent.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lastOfParent[parent] = unit->hwnd();
  }

  for (uint32_t i = 0; i < count; ++i) {
    if (auto record = units.RecordAt(i))
      units.SetCursor(i, reinterpret_cast<uintptr_t>(BuildUnitCursor(record->cursor())));
  }

  for (uint32_t i = count - 1; i >= 1; --i)
    if (auto* unit = static_cast<Window*>(units.SlotsAt(i).object)) SendMessageA(unit->hwnd(), kUnitsLoadedMessage, 0, 0);
  SendMessageA(hwnd, kWindowLoadedMessage, 0, 0);

  for (uint32_t i = 1; i < count; ++i)
    if (auto* unit = static_cast<Window*>(units.SlotsAt(i).object))
      ShowWindow(unit->hwnd(), visible[i] ? SW_SHOWNA : SW_HIDE);
  windowObject->SetAccelerator(accelerator);

  app.CallLibrary(kRequestUnblockEvents, 0, 0);

  RaiseEvent(id, 0, window_event::kCreated);
  if (IsWindow(hwnd)) RaiseEvent(id, 0, window_event::kAfterCreated);
  if (IsWindow(hwnd)) RaiseEvent(id, 0, window_event::kAfterCreated2);
  if (!IsWindow(hwnd)) return true;

  if (visible[0]) windowObject->ShowAfterLoad(reload);
  if (!IsWindow(hwnd)) return true;

  if (modal) {
    std::vector<HWND> others;
    for (size_t w = 0; w < table.size(); ++w) {
      WindowTemplate* other = table.At(w);
      if (other == &window) continue;
      Window* object = LiveObjectAt(other->units(), 0);
      if (object && !(GetWindowLongA(object->hwnd(), GWL_STYLE) & WS_CHILD)) others.push_back(object->hwnd());
    }
    windowObject->DisableOthers(others);
  }

  HWND focus = GetFocus();
  for (uint32_t i = count - 1; i >= 1; --i)
    if (Window* unit = LiveObjectAt(units, i)) SendMessageA(unit->hwnd(), kFocusSettledMessage, 0, 0);
  if (GetFocus() != focus && focus && IsWindow(focus)) SetFocus(focus);
  if (IsWindow(hwnd)) windowObject->SetLoaded();
  return true;
}

void WindowEngineWin32::UnitGone(WindowId window, UnitId unit) {
  if (recreating_) return;
  WindowTemplate* t = TemplateOf(window);
  if (!t) return;
  UnitTable& table = t->units();
  if (unit == 0 || unit == table.IdAt(0)) {
    t->RestoreTableAfterDestroy();
    App().EndModal(window);
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
    case kRequestTypeDescriptor:
      return reinterpret_cast<intptr_t>(FindUnitType(libraries_, UnitTypeId(arg1)));
    case kRequestIsRuntimeWindow:
      return IsRuntimeWindow(reinterpret_cast<HWND>(arg1)) ? 1 : 0;
    case kRequestUnitGone:
      UnitGone(WindowId(arg1), UnitId(arg2));
      return 0;
    case kRequestLiveObject:
      return reinterpret_cast<intptr_t>(LiveObject(WindowId(arg1), UnitId(arg2)));
    case kRequestLiveObjectOrFail: {
      Window* object = LiveObject(WindowId(arg1), UnitId(arg2));
      if (!object) ReportFatal(kLiveObjectMissing, 0);
      return reinterpret_cast<intptr_t>(object);
    }
    case kRequestDispatch: {
      auto* record = reinterpret_cast<SimpleEventRecord*>(arg1);
      if (!record) return 0;
      dispatcher_.SetWindows(&windows());
      return dispatcher_.Dispatch(*record) ? 1 : 0;
    }
    case kRequestDispatchTyped: {
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
