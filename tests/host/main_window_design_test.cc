// The built block holds the main window as designed: every unit read back
// from the generated TemplateStore, with the values written out here again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "program/main_window_design.h"
#include "template_test_support.h"
#include "templates/font_description.h"
#include "templates/template_store.h"
#include "units/button_props.h"
#include "units/combo_box_props.h"
#include "units/group_box_props.h"
#include "units/label_props.h"
#include "units/shape_box_props.h"
#include "window/window_props.h"

namespace kavrel {
namespace {

using namespace main_window;

class MainWindowDesign : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadTemplateStore(test::RealBlock(), test::TestHandlers(), windows_));
    ASSERT_TRUE(windows_.Find(kWindowId));
  }
  const UnitTable& table() const { return windows_.Find(kWindowId)->window->units(); }
  UnitTemplate unit(UnitId id) const { return *table().Find(id); }
  template <class Props>
  Props props(UnitId id) const {
    Props p;
    EXPECT_TRUE(p.Load(unit(id).properties())) << std::hex << id;
    return p;
  }

  WindowTable windows_;
};

struct Expected {
  UnitId id;
  UnitTypeId type;
  UnitId parent;
  UnitRect rect;
  uint32_t flags;
  EventHandler handler;
};

TEST_F(MainWindowDesign, UnitsInTableOrderWithTheirRecords) {
  const char* L = "\xb1\xea\xc7\xa9";        // 标签
  const char* B = "\xb0\xb4\xc5\xa5";        // 按钮
  const char* C = "\xd7\xe9\xba\xcf\xbf\xf2";  // 组合框
  auto n = [](const char* stem, const char* digit) { return std::string(stem) + digit; };
  using namespace unit_types;
  const std::vector<std::tuple<Expected, std::string>> expected = {
      {{0x06010000, kWindow, 0, {50, 50, 482, 309}, 1, &test::Routine<1>}, ""},
      {{0x16010051, kLabel, 0, {312, 56, 112, 48}, 1, &test::Routine<4>}, n(L, "8")},
      {{0x1601004C, kLabel, 0x1601004B, {280, 7, 88, 24}, 1, nullptr}, n(L, "7")},
      {{0x1601004A, kButton, 0x16010013, {424, 32, 32, 112}, 5, &test::Routine<2>}, n(B, "4")},
      {{0x16010037, kButton, 0x16010013, {336, 120, 56, 24}, 5, &test::Routine<5>}, n(B, "3")},
      {{0x16010036, kComboBox, 0x16010013, {272, 96, 120, 20}, 5, nullptr}, n(C, "6")},
      {{0x16010032, kLabel, 0x16010013, {232, 96, 32, 24}, 1, nullptr}, n(L, "6")},
      {{0x16010031, kButton, 0x16010013, {272, 120, 56, 24}, 5, &test::Routine<6>}, n(B, "2")},
      {{0x16010030, kComboBox, 0x16010013, {272, 64, 120, 20}, 5, nullptr}, n(C, "5")},
      {{0x1601002F, kLabel, 0x16010013, {232, 64, 32, 24}, 1, nullptr}, n(L, "5")},
      {{0x1601002E, kButton, 0x16010013, {96, 120, 56, 24}, 5, &test::Routine<3>}, n(B, "1")},
      {{0x1601002D, kComboBox, 0x16010013, {64, 96, 136, 20}, 5, nullptr}, n(C, "4")},
      {{0x16010028, kLabel, 0x16010013, {24, 96, 16, 24}, 1, nullptr}, n(L, "4")},
      {{0x16010027, kComboBox, 0x16010013, {64, 64, 136, 20}, 5, nullptr}, n(C, "3")},
      {{0x16010023, kLabel, 0x16010013, {24, 64, 16, 24}, 1, nullptr}, n(L, "3")},
      {{0x1601001F, kComboBox, 0x16010013, {64, 32, 136, 20}, 5, nullptr}, n(C, "2")},
      {{0x1601001B, kLabel, 0x16010013, {24, 32, 16, 24}, 1, nullptr}, n(L, "2")},
      {{0x1601001A, kComboBox, 0x1601000F, {64, 16, 200, 20}, 5, nullptr}, n(C, "1")},
      {{0x16010014, kLabel, 0x1601000F, {8, 16, 48, 24}, 1, nullptr}, n(L, "1")},
      {{0x16010013, kGroupBox, 0x1601000F, {0, 40, 480, 192}, 1, nullptr}, "\xb7\xd6\xd7\xe9\xbf\xf2" "1"},
      {{0x1601000F, kShapeBox, 0, {0, 48, 480, 240}, 1, nullptr}, "\xcd\xe2\xd0\xce\xbf\xf2" "1"},
      {{0x1601004B, kShapeBox, 0x16010013, {8, 17, 408, 144}, 1, nullptr}, "\xcd\xe2\xd0\xce\xbf\xf2" "2"},
  };
  ASSERT_EQ(table().count(), expected.size());
  for (uint32_t i = 0; i < table().count(); ++i) {
    const auto& [e, name] = expected[i];
    SCOPED_TRACE(testing::Message() << "entry " << i);
    ASSERT_EQ(table().IdAt(i), e.id);
    UnitTemplate u = *table().RecordAt(i);
    EXPECT_EQ(u.type(), e.type);
    EXPECT_EQ(u.name(), name);
    EXPECT_EQ(u.comment(), "");
    EXPECT_EQ(u.parent(), e.parent);
    EXPECT_EQ(u.rect(), e.rect);
    EXPECT_EQ(u.flags(), e.flags);
    EXPECT_EQ(u.tabOrder(), 0u);
    EXPECT_EQ(u.tag(), "");
    EXPECT_EQ(std::vector<uint8_t>(u.cursor().begin(), u.cursor().end()), std::vector<uint8_t>(4, 0));
    if (e.handler) {
      ASSERT_EQ(u.bindingCount(), 1u);
      EXPECT_EQ(u.binding(0).event, 0);
      EXPECT_EQ(windows_.HandlerOf(u.binding(0).handler), e.handler);
    } else {
      EXPECT_EQ(u.bindingCount(), 0u);
    }
    EXPECT_FALSE(table().IsMenuItem(i));
  }
}

TEST_F(MainWindowDesign, ContainersListTheirChildren) {
  auto children = [&](UnitId id) {
    std::vector<UnitId> c;
    UnitTemplate u = unit(id);
    for (uint32_t i = 0; i < u.childCount(); ++i) c.push_back(u.child(i));
    return c;
  };
  EXPECT_EQ(children(0x1601000F), (std::vector<UnitId>{0x1601001A, 0x16010014, 0x16010013}));
  EXPECT_EQ(children(0x16010013),
            (std::vector<UnitId>{0x1601004B, 0x1601004A, 0x16010037, 0x16010036, 0x16010032, 0x16010031, 0x16010030,
                                 0x1601002F, 0x1601002E, 0x1601002D, 0x16010028, 0x16010027, 0x16010023, 0x1601001F,
                                 0x1601001B}));
  EXPECT_EQ(children(0x1601004B), (std::vector<UnitId>{0x1601004C}));
  // Every other unit, and the window's own record, lists none.
  for (uint32_t i = 0; i < table().count(); ++i) {
    UnitId id = table().IdAt(i);
    if (id != 0x1601000F && id != 0x16010013 && id != 0x1601004B) {
      EXPECT_EQ(unit(id).childCount(), 0u);
    }
  }
}

TEST_F(MainWindowDesign, WindowProperties) {
  const WindowTemplate& w = *windows_.Find(kWindowId)->window;
  EXPECT_EQ(w.designA, 0x023B42E0u);
  EXPECT_EQ(w.designB, 0x19010003u);
  EXPECT_EQ(w.designText1, "");
  EXPECT_EQ(w.designText2, "");
  WindowProps p = props<WindowProps>(kOwnRecordId);
  EXPECT_EQ(LoadU32(unit(kOwnRecordId).properties().data()), 6u);
  EXPECT_EQ(p.caption, "Kavrel V1.2");
  EXPECT_EQ(p.border, 6u);
  EXPECT_EQ(p.backColour, 0xFFFFFFu);
  EXPECT_EQ(p.pictureMode, 3u);
  EXPECT_TRUE(p.sound.empty());
  EXPECT_EQ(p.soundMode, 0u);
  EXPECT_EQ(p.controlBox, 1u);
  EXPECT_EQ(p.maxButton, 0u);
  EXPECT_EQ(p.minButton, 1u);
  EXPECT_EQ(p.startPosition, 1u);
  EXPECT_EQ(p.movable, 1u);
  EXPECT_EQ(p.enterMovesOn, 0u);
  EXPECT_EQ(p.escCloses, 1u);
  EXPECT_EQ(p.f1Help, 0u);
  EXPECT_EQ(p.helpFile, "");
  EXPECT_EQ(p.helpContext, 0u);
  EXPECT_EQ(p.taskbar, 1u);
  EXPECT_EQ(p.dragAnywhere, 1u);
  EXPECT_EQ(p.shape, 0u);
  EXPECT_EQ(p.alwaysOnTop, 0u);
  EXPECT_EQ(p.property22, 0u);
  EXPECT_EQ(p.className, "");
  // The pictures are the generated files, byte for byte.
  EXPECT_EQ(p.picture, test::ReadGenerated("background.jpg"));
  EXPECT_EQ(p.icon, test::ReadGenerated("kavrel.ico"));
}

TEST_F(MainWindowDesign, BackgroundIsAProgressive1366x768ColourJpeg) {
  std::vector<uint8_t> jpeg = props<WindowProps>(kOwnRecordId).picture;
  EXPECT_EQ(jpeg.size(), 89828u);
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  EXPECT_EQ(d.image_width, 1366u);
  EXPECT_EQ(d.image_height, 768u);
  EXPECT_EQ(d.num_components, 3);
  EXPECT_TRUE(jpeg_has_multiple_scans(&d));
  EXPECT_TRUE(d.progressive_mode);
  jpeg_destroy_decompress(&d);
}

TEST_F(MainWindowDesign, IconIsOne256Square32BitImage) {
  std::vector<uint8_t> ico = props<WindowProps>(kOwnRecordId).icon;
  ASSERT_EQ(ico.size(), 270398u);
  EXPECT_EQ(LoadU16(&ico[2]), 1u);  // icon
  EXPECT_EQ(LoadU16(&ico[4]), 1u);  // one image
  EXPECT_EQ(ico[6], 0);             // 256 wide
  EXPECT_EQ(ico[7], 0);             // 256 high
  EXPECT_EQ(LoadU16(&ico[12]), 32u);
  EXPECT_EQ(LoadU32(&ico[14]), 270398u - 22);
  EXPECT_EQ(LoadU32(&ico[18]), 22u);
  EXPECT_EQ(LoadU32(&ico[22]), 40u);       // BITMAPINFOHEADER
  EXPECT_EQ(int32_t(LoadU32(&ico[30])), 512);  // image and mask
  EXPECT_EQ(LoadU32(&ico[38]), 0u);        // uncompressed
  // Transparent corners, an opaque middle.
  auto alpha = [&](int x, int y) { return ico[22 + 40 + ((255 - y) * 256 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(alpha(128, 128), 255);
}

TEST_F(MainWindowDesign, Labels) {
  for (UnitId id : {0x16010014u, 0x1601001Bu, 0x16010023u, 0x16010028u, 0x1601002Fu, 0x16010032u, 0x1601004Cu,
                    0x16010051u}) {
    SCOPED_TRACE(testing::Message() << std::hex << id);
    EXPECT_EQ(LoadU32(unit(id).properties().data()), 2u);
    LabelProps p = props<LabelProps>(id);
    EXPECT_EQ(p.effect, 0);
    EXPECT_EQ(p.frameWidth, 8);
    EXPECT_EQ(p.border, 0);
    EXPECT_EQ(p.pictureLayout, 1);
    EXPECT_EQ(p.gradient, 0);
    EXPECT_EQ(p.verticalAlign, 1);
    EXPECT_EQ(p.wrap, 0);
    EXPECT_TRUE(p.picture.empty());
    EXPECT_EQ(p.dataSource, "");
    EXPECT_EQ(p.dataColumn, "");
    if (id == kDecorLabelId) {
      EXPECT_EQ(p.caption, "\xce\xd2\xd4\xb8\xd2\xe2");  // 我愿意
      EXPECT_EQ(p.captionColour, 0xC06000u);
      EXPECT_EQ(p.backColour, 0xECECECu);
      EXPECT_EQ(p.horizontalAlign, 0);
      ASSERT_EQ(p.font.size(), 60u);
      FontDescription f = *FontDescription::FromBytes(p.font);
      EXPECT_EQ(f.height, -35);
      EXPECT_EQ(f.width | f.escapement | f.orientation, 0);
      EXPECT_EQ(f.weight, 700);
      EXPECT_EQ(f.italic | f.underline | f.strikeOut, 0);
      EXPECT_EQ(f.charSet, 134);
      EXPECT_EQ(f.outPrecision, 3);
      EXPECT_EQ(f.clipPrecision, 2);
      EXPECT_EQ(f.quality, 1);
      EXPECT_EQ(f.pitchAndFamily, 2);
      EXPECT_EQ(f.Face(), kDecorFace);
      EXPECT_EQ(p.font[59], 0);
    } else {
      EXPECT_TRUE(p.font.empty());
      EXPECT_EQ(p.captionColour, 0u);
      EXPECT_EQ(p.backColour, 0xFF000000u);
      EXPECT_EQ(p.horizontalAlign, id == kStaticLabelId ? 1 : 0);
    }
  }
  EXPECT_EQ(props<LabelProps>(0x16010014).caption, "\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6");  // 网卡名称
  EXPECT_EQ(props<LabelProps>(0x1601001B).caption, "IP");
  EXPECT_EQ(props<LabelProps>(0x16010023).caption, "MAC");
  EXPECT_EQ(props<LabelProps>(0x16010028).caption, "GW");
  EXPECT_EQ(props<LabelProps>(0x1601002F).caption, "DNS.P");
  EXPECT_EQ(props<LabelProps>(0x16010032).caption, "DNS.A");
  EXPECT_EQ(props<LabelProps>(0x1601004C).caption, "static");
}

TEST_F(MainWindowDesign, Buttons) {
  const std::pair<UnitId, std::string> captions[] = {
      {0x1601002E, "\xbe\xb2\xcc\xac(S)"},  // 静态(S)
      {0x16010031, "\xca\xd7\xd1\xa1(P)"},  // 首选(P)
      {0x16010037, "\xb1\xb8\xd3\xc3(A)"},  // 备用(A)
      {0x1601004A, "\xb6\xaf\r\n\r\n\xcc\xac\r\n\r\n\xbb\xf1\r\n\r\n\xc8\xa1"},  // 动 态 获 取
  };
  for (const auto& [id, caption] : captions) {
    SCOPED_TRACE(testing::Message() << std::hex << id);
    EXPECT_EQ(LoadU32(unit(id).properties().data()), 1u);
    ButtonProps p = props<ButtonProps>(id);
    EXPECT_EQ(p.caption, caption);
    EXPECT_EQ(p.defaultButton, 0);
    EXPECT_EQ(p.horizontalAlign, 1);
    EXPECT_EQ(p.verticalAlign, 1);
    EXPECT_TRUE(p.picture.empty());
    EXPECT_TRUE(p.font.empty());
  }
  EXPECT_EQ(props<ButtonProps>(0x1601004A).caption.size(), 20u);
  EXPECT_EQ(unit(0x1601002E).properties().size(), 35u);
}

TEST_F(MainWindowDesign, ComboBoxes) {
  const std::string local = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3";                    // 本地连接
  const std::string wireless = "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3";  // 无线网络连接
  const std::vector<std::string> names = {local,
                                          local + " 1 ",
                                          local + " 2 ",
                                          wireless,
                                          wireless + " 1 ",
                                          wireless + " 2 ",
                                          wireless + " 3 ",
                                          wireless + " 4",
                                          "VMware Network Adapter VMnet1",
                                          "VMware Network Adapter VMnet2",
                                          "VMware Network Adapter VMnet3",
                                          "VMware Network Adapter VMnet4",
                                          "VMware Network Adapter VMnet5",
                                          "VMware Network Adapter VMnet6",
                                          "VMware Network Adapter VMnet7",
                                          "VMware Network Adapter VMnet8",
                                          "",
                                          "",
                                          ""};
  const std::vector<std::string> prefixes = {"172.16.3.", "172.16.12.", "192.168.2.", "192.168.3.", ""};
  const std::vector<std::string> dns = {"222.222.222.222", ""};
  const std::tuple<UnitId, int32_t, std::vector<std::string>> boxes[] = {
      {0x1601001A, 0, names},   {0x1601001F, -1, prefixes}, {0x1601002D, -1, prefixes},
      {0x16010027, -1, {"255.255.255.0", ""}}, {0x16010030, -1, dns}, {0x16010036, -1, dns}};
  for (const auto& [id, current, entries] : boxes) {
    SCOPED_TRACE(testing::Message() << std::hex << id);
    EXPECT_EQ(LoadU32(unit(id).properties().data()), 3u);
    ComboBoxProps p = props<ComboBoxProps>(id);
    EXPECT_EQ(p.entries, entries);
    EXPECT_EQ(p.currentEntry, current);
    EXPECT_EQ(p.kind, 1);
    EXPECT_EQ(p.maxLength, 0);
    EXPECT_EQ(p.selectionStart, 0);
    EXPECT_EQ(p.selectionLength, 0);
    EXPECT_EQ(p.sorted, 0);
    EXPECT_EQ(p.extraHeight, 1);
    EXPECT_EQ(p.textColour, 0u);
    EXPECT_EQ(p.backColour, 0xFFFFFFu);
    EXPECT_TRUE(p.font.empty());
    EXPECT_EQ(p.content, "");
    EXPECT_TRUE(p.entryValues.empty());
    EXPECT_EQ(p.dataSource + p.dataColumn, "");
    EXPECT_EQ(p.bindingOption, 0);
  }
}

TEST_F(MainWindowDesign, GroupBoxAndShapeBoxes) {
  EXPECT_EQ(LoadU32(unit(kGroupId).properties().data()), 1u);
  GroupBoxProps g = props<GroupBoxProps>(kGroupId);
  EXPECT_EQ(g.caption, "");
  EXPECT_EQ(g.captionPosition, 2);
  EXPECT_EQ(g.captionColour, 0u);
  EXPECT_EQ(g.backColour, 0xFF000000u);
  EXPECT_TRUE(g.font.empty());

  for (auto [id, lineStyle, lineColour] :
       {std::tuple{kPanelId, 1, 0xC0C0C0u}, std::tuple{kInnerShapeId, 5, 0x808000u}}) {
    SCOPED_TRACE(testing::Message() << std::hex << id);
    EXPECT_EQ(LoadU32(unit(id).properties().data()), 1u);
    ShapeBoxProps s = props<ShapeBoxProps>(id);
    EXPECT_EQ(s.backColour, 0xFF000000u);
    EXPECT_EQ(s.figure, 0);
    EXPECT_EQ(s.relief, 0);
    EXPECT_EQ(s.lineStyle, lineStyle);
    EXPECT_EQ(s.lineWidth, 1);
    EXPECT_EQ(s.lineColour, lineColour);
    EXPECT_EQ(s.fillColour, 0xFF000000u);
  }
}

}  // namespace
}  // namespace kavrel
