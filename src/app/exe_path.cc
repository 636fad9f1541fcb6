#include "app/exe_path.h"

namespace kavrel {

ExePath SplitExePath(std::wstring_view path) {
  ExePath out;
  const size_t last = path.rfind(L'\\');
  if (last == std::wstring_view::npos) {
    out.name = std::wstring(path);
    return out;
  }
  out.dir = std::wstring(path.substr(0, last));
  out.name = std::wstring(path.substr(last + 1));
  out.dirSlash = std::wstring(path.substr(0, last + 1));
  return out;
}

}  // namespace kavrel
