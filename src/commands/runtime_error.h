// The hook through which neutral code reaches the one fatal error report.
// The application installs the real report (a message box, then the end of
// the process); tests install a recorder. The report never returns.
#pragma once

#include <cstdint>

namespace kavrel {

using FatalHandler = void (*)(const char* message, int32_t code);

// Returns the previous handler.
FatalHandler SetFatalHandler(FatalHandler handler);

// Reports through the installed handler. Should the handler come back, the
// process is ended all the same: nothing continues after a fatal error.
[[noreturn]] void ReportFatal(const char* message, int32_t code);

}  // namespace kavrel
