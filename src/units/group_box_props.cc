#include "units/group_box_props.h"

namespace kavrel {

bool GroupBoxProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> GroupBoxProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
