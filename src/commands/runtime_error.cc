#include "commands/runtime_error.h"

#include <cstdlib>

namespace kavrel {

namespace {
FatalHandler g_handler = nullptr;
}

FatalHandler SetFatalHandler(FatalHandler handler) {
  FatalHandler old = g_handler;
  g_handler = handler;
  return old;
}

void ReportFatal(const char* message, int32_t code) {
  if (g_handler) g_handler(message, code);
  std::abort();
}

}  // namespace kavrel
