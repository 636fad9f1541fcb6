#include "units/edit_selection.h"

#include <algorithm>

namespace kavrel {

int32_t ClampListIndex(int32_t value, int32_t count) {
  if (value > count - 1) value = count - 1;
  return value < -1 ? -1 : value;
}

EditSelection SelectionFromEditSel(uint32_t answer) {
  if (!HasEditField(answer)) return {};
  const int32_t start = int32_t(answer & 0xFFFF);
  const int32_t end = int32_t(answer >> 16);
  return {start, end > start ? end - start : 0};
}

EditSelection SelectionWithStart(int32_t value, int32_t textLength, EditSelection current) {
  if (value == -1) return {textLength, 0};
  return {value < 0 ? 0 : value, current.length};
}

EditSelection SelectionWithLength(int32_t value, int32_t textLength, EditSelection current) {
  if (value == -1) return {0, textLength};
  return {current.start, value < 0 ? 0 : value};
}

namespace {

// The selection as byte offsets inside a text of `size` bytes.
void SelectionBounds(size_t size, EditSelection selection, size_t* begin, size_t* end) {
  const size_t start = selection.start < 0 ? 0 : std::min<size_t>(size_t(selection.start), size);
  const size_t length = selection.length < 0 ? 0 : size_t(selection.length);
  *begin = start;
  *end = std::min(size, start + std::min(length, size));
}

}  // namespace

std::string SelectedPart(std::string_view text, EditSelection selection) {
  size_t begin = 0;
  size_t end = 0;
  SelectionBounds(text.size(), selection, &begin, &end);
  return std::string(text.substr(begin, end - begin));
}

std::string ReplaceSelected(std::string_view text, EditSelection selection, std::string_view value,
                            int32_t* caret) {
  size_t begin = 0;
  size_t end = 0;
  SelectionBounds(text.size(), selection, &begin, &end);
  std::string result;
  result.reserve(text.size() - (end - begin) + value.size());
  result.append(text.substr(0, begin));
  result.append(value);
  result.append(text.substr(end));
  if (caret) *caret = int32_t(begin + value.size());
  return result;
}

}  // namespace kavrel
