// Splitting the executable's path at its last backslash. The path is the
// system's own UTF-16 text: no byte of it can pass for a backslash.
#pragma once

#include <string>
#include <string_view>

namespace kavrel {

struct ExePath {
  std::wstring dir;       // without the trailing backslash; empty without one
  std::wstring name;      // after the last backslash; the whole path without one
  std::wstring dirSlash;  // up to and including the last backslash
};

ExePath SplitExePath(std::wstring_view path);

}  // namespace kavrel
