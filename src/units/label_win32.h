// The label unit: an owner-drawn window of the private class "_EL_Label"
// that paints its border, background (colour, picture or gradient) and
// caption itself.
#pragma once

#include <windows.h>

#include "units/label_props.h"
#include "units/unit_base_win32.h"
#include "units/unit_descriptors.h"
#include "pictures/picture_win32.h"
#include "pictures/stretched_picture_win32.h"

namespace kavrel {

inline constexpr wchar_t kLabelClass[] = L"_EL_Label";
// Sent by another party; raises event 0 with wParam and lParam and answers
// the handler's value.
inline constexpr UINT kLabelEventMessage = 0x8075;


class Label : public Unit {
 public:
  using Props = LabelProps;

  using Unit::Unit;
  ~Label() override;

  Props& props() { return props_; }
  bool Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
  static void VisitTexts(Props& props, TextConverterFn converter, uintptr_t user);

  bool SetOwnProperty(int32_t own, const PropertyValue& value) override;
  bool GetOwnProperty(int32_t own, PropertyValue& value) override;
  std::vector<uint8_t> SaveBlob() const override { return props_.Save(); }

 protected:
  LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ReleaseResources() override;

 private:
  void ApplyBorder();
  void Paint(HDC dc);
  bool DrawFrame(HDC dc, const RECT& r, const RECT& clip, int32_t width);
  void DrawCaption(HDC dc, const RECT& r);
  void DropPicture();

  Props props_;
  KeptPicture picture_;  // decoded on the first paint
  StretchedPicture fitted_;  // the picture as layout 2 last drew it
  UnitBrush background_;
};

}  // namespace kavrel
