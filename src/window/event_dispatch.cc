#include "window/event_dispatch.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/startup_profile.h"
#include "commands/runtime_error.h"

namespace kavrel {

uint64_t TypedArgumentValue(const TypedEventArg& arg) {
  const uint64_t whole = uint64_t(uint32_t(arg.low)) | uint64_t(arg.high) << 32;
  if (arg.flags & kArgByReference) return uint64_t(arg.low);
  if ((arg.flags & kArgTwoWords) || arg.tag == tags::kMenuItem) return whole;
  switch (arg.tag) {
    case tags::kByte:
      return uint8_t(arg.low);
    case tags::kShort:
      return uint32_t(int32_t(int16_t(uint16_t(arg.low))));
    case tags::kDateTime:
    case 0x80000008:
    case tags::kLong:
    case tags::kDouble:
      return whole;
    default:
      return uint32_t(arg.low);
  }
}

UnitId RecordLink(const UnitTemplate& unit) {
  ByteReader reader(unit.body());
  uint32_t link = 0;
  if (reader.Skip(unit.layout().flags - 4)) reader.ReadU32(link);
  return reader.ok() ? link : 0;
}

namespace {

bool RaisesEvents(const UnitTypeDescriptor* type) {
  return type && (type->stateFlags & (typeflag::kEventsA | typeflag::kEventsB)) != 0;
}

}  // namespace

const char* LookupFailureText(LookupFailure failure) {
  switch (failure) {
    case LookupFailure::kNoWindow:
      return kEventWindowMissing;
    case LookupFailure::kNoUnit:
      return kEventUnitMissing;
    case LookupFailure::kInvalidUnit:
      return kEventUnitInvalid;
    default:
      return nullptr;
  }
}

HandlerLookup LookupHandler(const WindowTable& windows, UnitTypeLibraries types, WindowId window, UnitId unit,
                            int32_t event) {
  HandlerLookup out;
  auto found = windows.Find(window);
  if (!found) {
    out.failure = LookupFailure::kNoWindow;
    return out;
  }
  const UnitTable& table = found->window->units();
  uint32_t handlerWord = 0;
  std::optional<uint32_t> position = unit != 0 ? table.PositionOf(unit) : std::optional<uint32_t>(0);
  if (!position || *position >= table.count()) {
    out.failure = LookupFailure::kNoUnit;
    return out;
  }
  if (table.IsMenuItem(*position)) {
    auto item = table.MenuItemAt(*position);
    if (!item) {
      out.failure = LookupFailure::kNoUnit;
      return out;
    }
    if (!RaisesEvents(FindUnitType(types, item->type()))) {
      out.failure = LookupFailure::kInvalidUnit;
      return out;
    }
    handlerWord = item->handler();
  } else {
    auto record = table.RecordAt(*position);
    if (!record) {
      out.failure = LookupFailure::kNoUnit;
      return out;
    }
    // Links are followed while the linked unit exists and is of the same
    // type; a cycle ends after as many steps as the table has entries.
    for (uint32_t steps = 0; steps < table.count(); ++steps) {
      const UnitId link = RecordLink(*record);
      if (link == 0) break;
      auto linked = table.Find(link);
      if (!linked || linked->type() != record->type()) break;
      record = linked;
    }
    if (!RaisesEvents(FindUnitType(types, record->type()))) {
      out.failure = LookupFailure::kInvalidUnit;
      return out;
    }
    auto binding = record->FindBinding(event);
    if (!binding) return out;
    handlerWord = binding->handler;
  }
  out.handler = windows.HandlerOf(handlerWord);
  out.sourceUnit = unit != 0 ? unit : table.IdAt(0);
  return out;
}

void CallSimpleHandler(EventHandler handler, SimpleEventRecord& record) {
  const int32_t n = std::clamp(record.argCount, 0, 5);
  uint64_t args[5] = {};
  for (int32_t i = 0; i < n; ++i) args[i] = record.args[i];
  HandlerResult r = handler(n, args);
  if (r.hasValue) {
    record.hasResult = 1;
    record.result = uint32_t(uint64_t(r.value));
  }
}

void CallTypedHandler(EventHandler handler, TypedEventRecord& record) {
  const int32_t n = std::clamp(record.argCount, 0, 12);
  uint64_t args[12] = {};
  for (int32_t i = 0; i < n; ++i) args[i] = TypedArgumentValue(record.args[i]);
  HandlerResult r = handler(n, args);
  if (r.hasValue) {
    record.hasResult = 1;
    record.resultLow = uint32_t(uint64_t(r.value));
    record.resultHigh = uint32_t(uint64_t(r.value) >> 32);
  }
}

EventHandler EventDispatcher::Find(WindowId window, UnitId unit, int32_t event) {
  if (blocked_ && blocked_()) {
    MarkEvent("event-blocked", event);
    return nullptr;
  }
  if (!windows_) return nullptr;
  HandlerLookup found = LookupHandler(*windows_, types_, window, unit, event);
  if (found.failure != LookupFailure::kNone) ReportFatal(LookupFailureText(found.failure), 0);
  if (found.handler) source_ = {window, found.sourceUnit};
  MarkEvent(found.handler ? "handler" : "no-handler", event);
  return found.handler;
}

bool EventDispatcher::Dispatch(SimpleEventRecord& record) {
  EventHandler handler = Find(record.window, record.unit, record.event);
  if (!handler) return false;
  CallSimpleHandler(handler, record);
  source_.window = 0;
  return true;
}

bool EventDispatcher::Dispatch(TypedEventRecord& record) {
  EventHandler handler = Find(record.window, record.unit, record.event);
  if (!handler) return false;
  CallTypedHandler(handler, record);
  source_.window = 0;
  return true;
}

}  // namespace kavrel
