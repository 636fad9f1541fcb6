#include "app/exe_path.h"

namespace kavrel {

ExePath SplitExePath(std::string_view path, const CodePageBytes& codePage) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (codePage.IsLead(c) && i + 1 < path.size()) {
      ++i;
    } else if (c == '\\') {
      last = i;
    }
  }
  ExePath out;
  if (last == std::string_view::npos) {
    out.name = std::string(path);
    return out;
  }
  out.dir = std::string(path.substr(0, last));
  out.name = std::string(path.substr(last + 1));
  out.dirSlash = std::string(path.substr(0, last + 1));
  return out;
}

}  // namespace kavrel
