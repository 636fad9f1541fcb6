// The button's own properties and their property blob, highest version 1.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "templates/property_blob.h"

namespace kavrel {

inline constexpr uint32_t kButtonPropsVersion = 1;

enum class ButtonOwn : int32_t {
  kPicture = 0,
  kDefaultButton = 1,
  kCaption = 2,
  kHorizontalAlign = 3,
  kVerticalAlign = 4,
  kFont = 5,
};

struct ButtonProps {
  std::vector<uint8_t> picture;        // 0: shown instead of the caption
  int32_t defaultButton = 0;           // 1
  std::string caption = "\xb0\xb4\xc5\xa5";  // 2: 按钮
  int32_t horizontalAlign = 1;         // 3: 0 left, 1 centre, 2 right
  int32_t verticalAlign = 1;           // 4: 0 top, 1 centre, 2 bottom
  std::vector<uint8_t> font;           // 5

  void Reset() { *this = ButtonProps{}; }
  bool operator==(const ButtonProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    ar.Version(kButtonPropsVersion);
    ar.Int(p.defaultButton);
    ar.Int(p.horizontalAlign);
    ar.Int(p.verticalAlign);
    ar.Bytes(p.picture);
    ar.Bytes(p.font);
    ar.Text(p.caption);
  }
};

}  // namespace kavrel
