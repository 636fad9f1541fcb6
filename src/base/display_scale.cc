#include "base/display_scale.h"

#include <limits>

namespace kavrel {

int32_t ScaleLength(int32_t value, int32_t numerator, int32_t denominator) {
  if (numerator == denominator) return value;
  if (denominator <= 0) return value;
  const int64_t product = int64_t(value) * numerator;
  const int64_t magnitude = (product < 0 ? -product : product) + denominator / 2;
  const int64_t result = (product < 0 ? -1 : 1) * (magnitude / denominator);
  if (result > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (result < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(result);
}

}  // namespace kavrel
