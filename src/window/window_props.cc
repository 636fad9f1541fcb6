#include "window/window_props.h"

namespace kavrel {

bool WindowProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> WindowProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
