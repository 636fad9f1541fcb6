// The combo box's own properties and their property blob, highest version 3.
// Own 5 (the selected text) lives only in the control and is not stored.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "templates/property_blob.h"

namespace kavrel {

inline constexpr uint32_t kComboBoxPropsVersion = 3;

enum class ComboBoxOwn : int32_t {
  kKind = 0,
  kContent = 1,
  kMaxLength = 2,
  kSelectionStart = 3,
  kSelectionLength = 4,
  kSelectedText = 5,
  kSorted = 6,
  kExtraHeight = 7,
  kTextColour = 8,
  kBackColour = 9,
  kFont = 10,
  kCurrentEntry = 11,
  kEntries = 12,
  kEntryValues = 13,
  kDataSource = 14,
  kDataColumn = 15,
  kBindingOption = 16,
};

struct ComboBoxProps {
  int32_t kind = 1;                  // 0: 0 simple, 1 drop-down, 2 drop-down list
  std::string content;               // 1: the edit text
  int32_t maxLength = 0;             // 2: 0 = the system's limit
  int32_t selectionStart = 0;        // 3
  int32_t selectionLength = 0;       // 4
  int32_t sorted = 0;                // 6
  int32_t extraHeight = 1;           // 7
  uint32_t textColour = 0x000000;    // 8
  uint32_t backColour = 0xFFFFFF;    // 9
  std::vector<uint8_t> font;         // 10
  int32_t currentEntry = -1;         // 11: -1 none
  std::vector<std::string> entries;  // 12: stored as a TextList
  std::vector<uint8_t> entryValues;  // 13: one 32-bit value per entry
  std::string dataSource;            // 14
  std::string dataColumn;            // 15
  int32_t bindingOption = 0;         // 16

  void Reset() { *this = ComboBoxProps{}; }
  bool operator==(const ComboBoxProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    const uint32_t v = ar.Version(kComboBoxPropsVersion);
    ar.Int(p.kind);
    ar.Int(p.maxLength);
    ar.Int(p.selectionStart);
    ar.Int(p.selectionLength);
    ar.Int(p.sorted);
    ar.Int(p.extraHeight);
    ar.Int(p.textColour);
    ar.Int(p.backColour);
    ar.Int(p.currentEntry);
    ar.Bytes(p.font);
    ar.Bytes(p.entryValues);
    ar.Text(p.content);
    ar.TextList(p.entries);
    if (v >= 2) {
      ar.Text(p.dataSource);
      ar.Text(p.dataColumn);
    }
    if (v >= 3) ar.Int(p.bindingOption);
  }
};

}  // namespace kavrel
