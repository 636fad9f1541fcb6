#include "units/shape_box_props.h"

namespace kavrel {

bool ShapeBoxProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> ShapeBoxProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
