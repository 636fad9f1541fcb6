#include <windows.h>

#include "base/move_over.h"

namespace kavrel {

// The C runtime's rename refuses an existing target here.
bool MoveOver(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace kavrel
