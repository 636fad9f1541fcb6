#include "units/combo_box_props.h"

namespace kavrel {

bool ComboBoxProps::Load(std::span<const uint8_t> blob) { return LoadPropertyBlob(*this, blob); }
std::vector<uint8_t> ComboBoxProps::Save() const { return SavePropertyBlob(*this); }

}  // namespace kavrel
