// Renames a file onto a path, replacing what is there in one step, so that
// a reader sees the old file or the new one, never none or half of one.
#pragma once

namespace kavrel {

// False when the file could not be moved; `from` is then left as it was.
bool MoveOver(const char* from, const char* to);

}  // namespace kavrel
