#include "base/move_over.h"

#include <cstdio>

namespace kavrel {

// POSIX rename replaces an existing target atomically.
bool MoveOver(const char* from, const char* to) { return std::rename(from, to) == 0; }

}  // namespace kavrel
