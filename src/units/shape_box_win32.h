// The shape box unit: an owner-drawn window of the private class
// "_EL_ShapeBox" that paints one figure over its background, and a container
// for other units.
#pragma once

#include <windows.h>

#include "units/shape_box_props.h"
#include "units/unit_base_win32.h"
#include "units/unit_descriptors.h"

namespace kavrel {

inline constexpr wchar_t kShapeBoxClass[] = L"_EL_ShapeBox";


class ShapeBox : public Unit {
 public:
  using Props = ShapeBoxProps;

  using Unit::Unit;

  Props& props() { return props_; }
  bool Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);

  bool SetOwnProperty(int32_t own, const PropertyValue& value) override;
  bool GetOwnProperty(int32_t own, PropertyValue& value) override;
  std::vector<uint8_t> SaveBlob() const override { return props_.Save(); }

 protected:
  LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);

  Props props_;
};

}  // namespace kavrel
