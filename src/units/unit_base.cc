#include "units/unit_base.h"

#include <algorithm>

namespace kavrel {

SimpleEventRecord MakeEventRecord(WindowId window, UnitId unit, int32_t index, std::span<const uint32_t> args) {
  SimpleEventRecord record;
  record.window = window;
  record.unit = unit;
  record.event = index;
  const size_t count = std::min<size_t>(args.size(), 5);
  record.argCount = int32_t(count);
  for (size_t i = 0; i < count; ++i) record.args[i] = args[i];
  return record;
}

int32_t ClampChoice(int32_t value, int32_t last) { return value < 0 ? 0 : (value > last ? last : value); }

int32_t ClampRange(int32_t value, int32_t low, int32_t high) { return std::clamp(value, low, high); }

}  // namespace kavrel
