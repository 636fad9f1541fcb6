// The edit field of a combo box: list index clamping and the selection
// arithmetic behind its start, length and selected-text properties.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavrel {

// A list index: at most the last entry, below -1 (and any index of an empty
// list) -1.
int32_t ClampListIndex(int32_t value, int32_t count);

struct EditSelection {
  int32_t start = 0;
  int32_t length = 0;
};
// The selection CB_GETEDITSEL reports (low word start, high word end); the
// control answers -1 when it has no edit field.
EditSelection SelectionFromEditSel(uint32_t answer);
inline bool HasEditField(uint32_t editSelAnswer) { return editSelAnswer != 0xFFFFFFFFu; }
// Setting the start: -1 means the end of the text with nothing selected.
EditSelection SelectionWithStart(int32_t value, int32_t textLength, EditSelection current);
// Setting the length: -1 means the whole text.
EditSelection SelectionWithLength(int32_t value, int32_t textLength, EditSelection current);
// The part of `text` a selection covers, clamped to the text.
std::string SelectedPart(std::string_view text, EditSelection selection);
// `text` with the selected part replaced; *caret is the position after the
// inserted text.
std::string ReplaceSelected(std::string_view text, EditSelection selection, std::string_view value,
                            int32_t* caret);

}  // namespace kavrel
