// The shape box's own properties and their property blob, highest version 1.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "templates/property_blob.h"

namespace kavrel {

inline constexpr uint32_t kShapeBoxPropsVersion = 1;

enum class ShapeBoxOwn : int32_t {
  kBackColour = 0,
  kFigure = 1,
  kRelief = 2,
  kLineStyle = 3,
  kLineWidth = 4,
  kLineColour = 5,
  kFillColour = 6,
};

struct ShapeBoxProps {
  uint32_t backColour = 0xFF000000;  // 0: button face by default
  int32_t figure = 0;                // 1: 0 rectangle ... 7 vertical line
  int32_t relief = 0;                // 2: 0 flat, 1 sunken, 2 raised
  int32_t lineStyle = 1;             // 3: 0 none, 1 solid ... 5 dash-dot-dot
  int32_t lineWidth = 1;             // 4
  uint32_t lineColour = 0x000000;    // 5
  uint32_t fillColour = 0xFF000000;  // 6: 0xFF000000 = not filled

  void Reset() { *this = ShapeBoxProps{}; }
  bool operator==(const ShapeBoxProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    ar.Version(kShapeBoxPropsVersion);
    ar.Int(p.backColour);
    ar.Int(p.figure);
    ar.Int(p.relief);
    ar.Int(p.lineStyle);
    ar.Int(p.lineWidth);
    ar.Int(p.lineColour);
    ar.Int(p.fillColour);
  }
};

}  // namespace kavrel
