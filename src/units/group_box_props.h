// The group box's own properties and their property blob, highest version 1.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "templates/property_blob.h"

namespace kavrel {

inline constexpr uint32_t kGroupBoxPropsVersion = 1;

enum class GroupBoxOwn : int32_t {
  kCaption = 0,
  kCaptionPosition = 1,
  kCaptionColour = 2,
  kBackColour = 3,
  kFont = 4,
};

struct GroupBoxProps {
  std::string caption;               // 0
  int32_t captionPosition = 0;       // 1: 0 left, 1 centre, 2 right
  uint32_t captionColour = 0x000000; // 2
  uint32_t backColour = 0xFF000000;  // 3: button face by default
  std::vector<uint8_t> font;         // 4

  void Reset() { *this = GroupBoxProps{}; }
  bool operator==(const GroupBoxProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    ar.Version(kGroupBoxPropsVersion);
    ar.Int(p.captionPosition);
    ar.Int(p.captionColour);
    ar.Int(p.backColour);
    ar.Bytes(p.font);
    ar.Text(p.caption);
  }
};

}  // namespace kavrel
