// The group box unit: a titled frame of the system class "BUTTON" (group-box
// style) that holds other units as its child windows.
#pragma once

#include <windows.h>

#include "units/group_box_props.h"
#include "units/unit_base_win32.h"
#include "units/unit_descriptors.h"

namespace kavrel {


class GroupBox : public Unit {
 public:
  using Props = GroupBoxProps;

  using Unit::Unit;

  Props& props() { return props_; }
  bool Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
  static void VisitTexts(Props& props, TextConverterFn converter, uintptr_t user);

  bool SetOwnProperty(int32_t own, const PropertyValue& value) override;
  bool GetOwnProperty(int32_t own, PropertyValue& value) override;
  std::vector<uint8_t> SaveBlob() const override { return props_.Save(); }

 protected:
  void OnDpiChanged(int) override { ApplyFont(props_.font, false); }
  LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void ReleaseResources() override { background_.Reset(); }

 private:
  Props props_;
  UnitBrush background_;
};

}  // namespace kavrel
