#include "units/label_props.h"

namespace kavrel {

bool LabelProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> LabelProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
