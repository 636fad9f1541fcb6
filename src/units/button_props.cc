#include "units/button_props.h"

namespace kavrel {

bool ButtonProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> ButtonProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
