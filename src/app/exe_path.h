// Splitting the executable's path at its last backslash.
#pragma once

#include <string>
#include <string_view>

#include "base/code_page.h"

namespace kavrel {

struct ExePath {
  std::string dir;       // without the trailing backslash; empty without one
  std::string name;      // after the last backslash; the whole path without one
  std::string dirSlash;  // up to and including the last backslash
};

// The path is bytes in `codePage`: a trail byte equal to '\\' belongs to
// its lead byte and does not split the path.
ExePath SplitExePath(std::string_view path, const CodePageBytes& codePage);

}  // namespace kavrel
