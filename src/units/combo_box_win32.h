// The combo box unit: an edit field with a list of prepared entries, of the
// system class "COMBOBOX". Its content, selection and current entry are read
// live from the control.
#pragma once

#include <windows.h>

#include "units/combo_box_props.h"
#include "units/unit_base_win32.h"
#include "units/unit_descriptors.h"

namespace kavrel {

// Posted to itself on CBN_SELENDOK; event 0 is raised when it arrives, so the
// chosen entry is already in place.
inline constexpr UINT kComboChosenMessage = 0xA711;
// The least height of a drop-down box, list included, in the design's pixels.
inline constexpr int32_t kDropDownHeight = 160;


class ComboBox : public Unit {
 public:
  using Props = ComboBoxProps;

  using Unit::Unit;

  Props& props() { return props_; }
  bool Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
  static void VisitTexts(Props& props, TextConverterFn converter, uintptr_t user);

  bool SetOwnProperty(int32_t own, const PropertyValue& value) override;
  bool GetOwnProperty(int32_t own, PropertyValue& value) override;
  std::vector<uint8_t> SaveBlob() const override { return props_.Save(); }

 protected:
  LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void ReleaseResources() override { background_.Reset(); }
  void OnDpiChanged(int from) override;
  int32_t LaidOutHeight(int32_t windowHeight) override;

 private:
  bool Editable() const { return props_.kind != 2; }
  int32_t EntryHeight();
  // The extra pixels each entry has, at `dpi`.
  int32_t ExtraHeight(int dpi) const;
  // Widens the dropped-down list where an entry that fits the design's list
  // would not fit the scaled one.
  void FitListToEntries();
  void SetEntryHeight(int32_t height);
  void ApplySelection();
  // The selection's start (`start`) or length set to `value`.
  void SetSelection(bool start, int32_t value);
  // The selected part of the edit field replaced, the caret after it.
  void ReplaceSelectedText(const std::string& value);
  LRESULT AnswerColour(HDC dc);
  const std::string& LiveContent();

  Props props_;
  UnitBrush background_;
  std::string selectedText_;         // own 5 as last read
  std::vector<uint8_t> entryBytes_;  // own 12 as last read
  bool listWidened_ = false;
};

}  // namespace kavrel
