#include "commands/values.h"

#include <cstring>

namespace kavrel {

static_assert(sizeof(double) == 8 && sizeof(float) == 4);

double CommandArg::Double() const {
  uint64_t bits = uint64_t(uint32_t(low)) | uint64_t(high) << 32;
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

float CommandArg::Float() const {
  uint32_t bits = uint32_t(low);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

CommandArg CommandArg::OfDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  return Of64(bits, tags::kDouble);
}

CommandArg CommandArg::OfFloat(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return {uintptr_t(bits), 0, tags::kFloat};
}

CommandResult CallCommand(CommandFunction command, int32_t count, const CommandArg* args) {
  CommandResult result{};
  if (command) command(&result, count, args);
  return result;
}

}  // namespace kavrel
