// The unit types loaded by the window engine from small template blocks with
// the runtime's own unit library: nesting as the main window has it, events
// reaching bound handlers through real dispatch, property 9 of a combo box,
// Enter on a default button, and a blob too new failing the window's load.
#include <gtest/gtest.h>

#include "app/runtime_app_win32.h"
#include "commands/runtime_heap.h"
#include "engine_test_support.h"
#include "units/button_props.h"
#include "units/combo_box_props.h"
#include "units/group_box_props.h"
#include "units/label_props.h"
#include "units/label_win32.h"
#include "units/shape_box_props.h"
#include "window/unit_library.h"

namespace kavrel::engine_test {
namespace {

constexpr UnitTypeId kShapeBox = 0x10007;
constexpr UnitTypeId kGroupBox = 0x10009;
constexpr UnitTypeId kLabel = 0x1000A;
constexpr UnitTypeId kButton = 0x1000B;
constexpr UnitTypeId kComboBox = 0x1000E;

template <class Props>
UnitDesign Real(UnitTypeId type, UnitId id, UnitRect rect, UnitId parent, const Props& props,
                uint32_t flags = kUnitVisible | kUnitTabStop) {
  UnitDesign u;
  u.id = id;
  u.type = type;
  u.rect = rect;
  u.parent = parent;
  u.flags = flags;
  u.cursor = {0, 0, 0, 0};
  u.properties = props.Save();
  return u;
}

class UnitTemplateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareEngine();
    static std::vector<std::span<const UnitTypeDescriptor>> runtime{UnitTypeTable()};
    Engine().SetUnitLibraries(runtime);
  }
  void TearDown() override {
    Engine().DestroyAllWindows();
    Pump();
  }

  // The main window's nesting in small: a panel holding a group box that
  // holds a button, a combo box and a label.
  WindowDesign Design(const ButtonProps& button = {}) {
    WindowProps wp;
    wp.startPosition = 0;
    WindowDesign w = NewWindow(wp, {0, 0, 400, 300});
    ShapeBoxProps panel;
    panel.lineColour = 0xC0C0C0;
    GroupBoxProps group;
    group.captionPosition = 2;
    ComboBoxProps names;
    names.entries = {"LAN", "LAN 1 ", ""};
    names.currentEntry = 0;
    LabelProps label;
    label.caption = "IP";
    serial_ += 0x10;
    panel_ = Real(kShapeBox, 0x16000000 | (serial_ + 1), {0, 48, 380, 240}, 0, panel, kUnitVisible);
    group_ = Real(kGroupBox, 0x16000000 | (serial_ + 2), {0, 40, 360, 190}, panel_.id, group, kUnitVisible);
    button_ = Real(kButton, 0x16000000 | (serial_ + 3), {20, 120, 56, 24}, group_.id, button);
    combo_ = Real(kComboBox, 0x16000000 | (serial_ + 4), {60, 30, 136, 20}, group_.id, names);
    label_ = Real(kLabel, 0x16000000 | (serial_ + 5), {20, 30, 30, 24}, group_.id, label, kUnitVisible);
    button_.bindings = {Bind(0, 1)};
    label_.bindings = {Bind(0, 2)};
    panel_.children = {group_.id};
    group_.children = {button_.id, combo_.id, label_.id};
    w.units.insert(w.units.end(), {label_, button_, combo_, group_, panel_});
    return w;
  }

  Window* Object(const UnitDesign& u) {
    return reinterpret_cast<Window*>(RuntimeApp::Instance().LibraryCallback(2006, intptr_t(design_.id), intptr_t(u.id)));
  }
  std::string Content() {
    const PropertyBits v = Engine().GetUnitProperty(design_.id, combo_.id, 9, -1);
    const char* text = PropertyText(v);
    std::string s = text ? text : "";
    Free(const_cast<char*>(text));
    return s;
  }

  static inline uint32_t serial_ = 0x500000;
  WindowDesign design_;
  UnitDesign panel_, group_, button_, combo_, label_;
};

TEST_F(UnitTemplateTest, NestedUnitsLoadAndTheirEventsReachTheirHandlers) {
  design_ = Design();
  ASSERT_TRUE(Load(Install(design_)));
  Window* button = Object(button_);
  Window* combo = Object(combo_);
  Window* label = Object(label_);
  ASSERT_TRUE(button && combo && label);
  EXPECT_EQ(GetParent(button->hwnd()), Object(group_)->hwnd());
  EXPECT_EQ(GetParent(Object(group_)->hwnd()), Object(panel_)->hwnd());
  char name[32] = {};
  GetClassNameA(label->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "_EL_Label");
  EXPECT_TRUE(IsWindowVisible(combo->hwnd()));

  // A click inside the group box inside the panel.
  SendMessageA(button->hwnd(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(CallCount(1), 1);

  // 0x8075 answers the handler's value, or 0 without one.
  SetResult(2, {true, 16});
  EXPECT_EQ(SendMessageA(label->hwnd(), kLabelEventMessage, 7, 9), 16);
  ASSERT_EQ(CallCount(2), 1);
  EXPECT_EQ(Calls().back().args, (std::vector<uint64_t>{7, 9}));
  SetResult(2, {});
  EXPECT_EQ(SendMessageA(label->hwnd(), kLabelEventMessage, 7, 9), 0);

  // Property 9 of the combo box: empty (null) at first, then what was typed.
  const int64_t blocks = OutstandingBlocks();
  EXPECT_EQ(Engine().GetUnitProperty(design_.id, combo_.id, 9, -1), 0u);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo->hwnd(), &info);
  for (char ch : std::string("LAN 2 ")) SendMessageA(info.hwndItem, WM_CHAR, WPARAM(uint8_t(ch)), 1);
  EXPECT_EQ(Content(), "LAN 2 ");
  EXPECT_EQ(OutstandingBlocks(), blocks);
}

TEST_F(UnitTemplateTest, EnterPressesTheDefaultButton) {
  ButtonProps def;
  def.defaultButton = 1;
  design_ = Design(def);
  ASSERT_TRUE(Load(Install(design_)));
  PostMessageA(Object(label_)->hwnd(), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(CallCount(1), 1);
}

TEST_F(UnitTemplateTest, ABlobTooNewFailsTheWindowsLoad) {
  design_ = Design();
  ASSERT_EQ(design_.units[3].id, combo_.id);
  design_.units[3].properties[0] = uint8_t(kComboBoxPropsVersion + 1);
  EXPECT_FALSE(Load(Install(design_)));
}

}  // namespace
}  // namespace kavrel::engine_test
