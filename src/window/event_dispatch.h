// Event dispatch: finding the handler a window template binds to a unit's
// event, and calling it with the arguments of a simple (request 2008) or
// typed (request 2031) event record.
#pragma once

#include <cstdint>

#include "commands/library_interface.h"
#include "commands/runtime_services.h"
#include "commands/values.h"
#include "templates/handler_table.h"
#include "templates/window_template.h"
#include "window/unit_types.h"

namespace kavrel {

// 未找到引发事件的窗口
inline constexpr char kEventWindowMissing[] = "\xce\xb4\xd5\xd2\xb5\xbd\xd2\xfd\xb7\xa2\xca\xc2\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda";
// 未找到引发事件的窗口组件
inline constexpr char kEventUnitMissing[] =
    "\xce\xb4\xd5\xd2\xb5\xbd\xd2\xfd\xb7\xa2\xca\xc2\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe";
// 引发事件的窗口组件无效
inline constexpr char kEventUnitInvalid[] = "\xd2\xfd\xb7\xa2\xca\xc2\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xce\xde\xd0\xa7";

// How one typed argument reaches the handler.
uint64_t TypedArgumentValue(const TypedEventArg& arg);

// The unit a record links its bindings to (0 = none). It is kept in the
// record's word before the flags.
UnitId RecordLink(const UnitTemplate& unit);

enum class LookupFailure { kNone, kNoWindow, kNoUnit, kInvalidUnit };
const char* LookupFailureText(LookupFailure failure);

struct HandlerLookup {
  LookupFailure failure = LookupFailure::kNone;
  EventHandler handler = nullptr;  // null: nothing bound
  UnitId sourceUnit = 0;           // 0 stands for the window's own record id
};

// Steps 2 to 7 of the lookup; the caller has checked that events flow.
HandlerLookup LookupHandler(const WindowTable& windows, UnitTypeLibraries types, WindowId window, UnitId unit,
                            int32_t event);

// Calls `handler` with the record's arguments and stores its value, if it
// gave one. Counts out of range are clamped.
void CallSimpleHandler(EventHandler handler, SimpleEventRecord& record);
void CallTypedHandler(EventHandler handler, TypedEventRecord& record);

// A unit offering a veto: refused exactly when a handler ran and gave 0.
inline bool EventVetoed(bool dispatched, const SimpleEventRecord& record) {
  return dispatched && record.hasResult == 1 && record.result == 0;
}

// The dispatcher behind requests 2008 and 2031. The three lookup failures
// are fatal reports; while events are blocked nothing is looked up.
class EventDispatcher {
 public:
  struct Source {
    WindowId window = 0;
    UnitId unit = 0;
  };

  EventDispatcher(const WindowTable* windows, UnitTypeLibraries types, bool (*blocked)())
      : windows_(windows), types_(types), blocked_(blocked) {}

  void SetTypes(UnitTypeLibraries types) { types_ = types; }
  void SetWindows(const WindowTable* windows) { windows_ = windows; }

  // True when a handler ran.
  bool Dispatch(SimpleEventRecord& record);
  bool Dispatch(TypedEventRecord& record);

  // The event whose handler runs; the window part is 0 again once it returns.
  Source source() const { return source_; }

 private:
  EventHandler Find(WindowId window, UnitId unit, int32_t event);

  const WindowTable* windows_;
  UnitTypeLibraries types_;
  bool (*blocked_)();
  Source source_;
};

}  // namespace kavrel
