// The button unit: a push button of the system class "BUTTON" showing a
// caption of any number of lines or a picture; a click raises event 0.
#pragma once

#include <windows.h>

#include "units/button_props.h"
#include "units/unit_base_win32.h"
#include "units/unit_descriptors.h"
#include "pictures/picture.h"
#include "pictures/picture_win32.h"

namespace kavrel {


class Button : public Unit {
 public:
  using Props = ButtonProps;

  using Unit::Unit;
  ~Button() override;

  Props& props() { return props_; }
  bool Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
  static void VisitTexts(Props& props, TextConverterFn converter, uintptr_t user);

  bool SetOwnProperty(int32_t own, const PropertyValue& value) override;
  bool GetOwnProperty(int32_t own, PropertyValue& value) override;
  std::vector<uint8_t> SaveBlob() const override { return props_.Save(); }
  bool IsDefaultButton() override;

 protected:
  void OnDpiChanged(int) override { ApplyFont(props_.font, false); }
  LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void ReleaseResources() override;

 private:
  // Decodes the picture and makes its image; the style bit to show it, or 0.
  DWORD PrepareImage();

  Props props_;
  Picture* picture_ = nullptr;
  PictureImage image_;
};

}  // namespace kavrel
