// The label's own properties and their property blob, highest version 2.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "templates/property_blob.h"

namespace kavrel {

inline constexpr uint32_t kLabelPropsVersion = 2;

enum class LabelOwn : int32_t {
  kCaption = 0,
  kEffect = 1,
  kBorder = 2,
  kFrameWidth = 3,
  kFrameColour1 = 4,
  kFrameColour2 = 5,
  kFrameColour3 = 6,
  kFont = 7,
  kCaptionColour = 8,
  kBackColour = 9,
  kPicture = 10,
  kPictureLayout = 11,
  kGradient = 12,
  kGradientColour1 = 13,
  kGradientColour2 = 14,
  kGradientColour3 = 15,
  kHorizontalAlign = 16,
  kWrap = 17,
  kVerticalAlign = 18,
  kDataSource = 19,
  kDataColumn = 20,
};

struct LabelProps {
  std::string caption = "\xb1\xea\xc7\xa9";  // 0: 标签
  int32_t effect = 0;                  // 1: relief 0-3
  int32_t border = 0;                  // 2: 0-6
  int32_t frameWidth = 8;              // 3
  uint32_t frameColour1 = 0x808080;    // 4
  uint32_t frameColour2 = 0xFFFFFF;    // 5
  uint32_t frameColour3 = 0x808080;    // 6
  std::vector<uint8_t> font;           // 7: 60 bytes or empty
  uint32_t captionColour = 0x000000;   // 8
  uint32_t backColour = 0xFF000000;    // 9: button face by default
  std::vector<uint8_t> picture;        // 10
  int32_t pictureLayout = 1;           // 11: 0 top-left, 1 tiled, 2 fitted
  int32_t gradient = 0;                // 12: direction 0-8, 0 none
  uint32_t gradientColour1 = 0x808080; // 13
  uint32_t gradientColour2 = 0xFFFFFF; // 14
  uint32_t gradientColour3 = 0x808080; // 15
  int32_t horizontalAlign = 0;         // 16: 0 left, 1 centre, 2 right
  int32_t wrap = 0;                    // 17
  int32_t verticalAlign = 1;           // 18: 0 top, 1 centre, 2 bottom
  std::string dataSource;              // 19
  std::string dataColumn;              // 20

  void Reset() { *this = LabelProps{}; }
  bool operator==(const LabelProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    const uint32_t v = ar.Version(kLabelPropsVersion);
    ar.Int(p.effect);
    ar.Int(p.frameWidth);
    ar.Int(p.border);
    ar.Int(p.frameColour1);
    ar.Int(p.frameColour2);
    ar.Int(p.frameColour3);
    ar.Int(p.captionColour);
    ar.Int(p.backColour);
    ar.Int(p.pictureLayout);
    ar.Int(p.gradient);
    ar.Int(p.gradientColour1);
    ar.Int(p.gradientColour2);
    ar.Int(p.gradientColour3);
    ar.Int(p.horizontalAlign);
    ar.Int(p.verticalAlign);
    ar.Int(p.wrap);
    ar.Bytes(p.font);
    ar.Bytes(p.picture);
    ar.Text(p.caption);
    if (v >= 2) {
      ar.Text(p.dataSource);
      ar.Text(p.dataColumn);
    }
  }
};

}  // namespace kavrel
