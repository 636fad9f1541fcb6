#include "program/main_window_design.h"

#include <string>

#include "templates/font_description.h"
#include "units/button_props.h"
#include "units/combo_box_props.h"
#include "units/group_box_props.h"
#include "units/label_props.h"
#include "units/shape_box_props.h"
#include "window/window_props.h"

namespace kavrel::main_window {

namespace {

constexpr uint32_t kVisible = kUnitVisible;
constexpr uint32_t kVisibleTabStop = kUnitVisible | kUnitTabStop;

UnitDesign Unit(UnitId id, UnitTypeId type, std::string name, UnitId parent, UnitRect rect, uint32_t flags,
                std::vector<uint8_t> properties) {
  UnitDesign u;
  u.id = id;
  u.type = type;
  u.name = std::move(name);
  u.parent = parent;
  u.rect = rect;
  u.flags = flags;
  u.cursor.assign(4, 0);  // the default mouse pointer
  u.properties = std::move(properties);
  return u;
}

UnitDesign Bound(UnitDesign u, uint32_t handlerOffset) {
  u.bindings.push_back({0, handlerOffset});
  return u;
}

std::vector<uint8_t> LabelBlob(const char* caption, int32_t horizontalAlign) {
  LabelProps p;
  p.caption = caption;
  p.captionColour = 0x000000;
  p.backColour = kDefaultColour;
  p.horizontalAlign = horizontalAlign;
  return p.Save();
}

std::vector<uint8_t> DecorLabelBlob() {
  FontDescription f;
  f.height = -35;
  f.weight = 700;
  f.charSet = 134;  // GB2312
  f.outPrecision = 3;
  f.clipPrecision = 2;
  f.quality = 1;
  f.pitchAndFamily = 2;
  f.SetFace(kDecorFace);
  LabelProps p;
  p.caption = "\xce\xd2\xd4\xb8\xd2\xe2";  // 我愿意
  p.font = f.ToBytes();
  p.captionColour = 0xC06000;
  p.backColour = 0xECECEC;
  p.horizontalAlign = 0;
  return p.Save();
}

std::vector<uint8_t> ButtonBlob(std::string caption) {
  ButtonProps p;
  p.caption = std::move(caption);
  return p.Save();
}

std::vector<uint8_t> ComboBlob(std::vector<std::string> entries, int32_t currentEntry) {
  ComboBoxProps p;
  p.kind = 1;
  p.backColour = 0xFFFFFF;
  p.currentEntry = currentEntry;
  p.entries = std::move(entries);
  return p.Save();
}

std::vector<uint8_t> ShapeBlob(int32_t lineStyle, uint32_t lineColour) {
  ShapeBoxProps p;
  p.lineStyle = lineStyle;
  p.lineWidth = 1;
  p.lineColour = lineColour;
  return p.Save();
}

std::vector<uint8_t> WindowBlob(const Art& art) {
  WindowProps p;
  p.caption = "Kavrel V1.2";
  p.border = 6;  // sunken, fixed
  p.backColour = 0xFFFFFF;
  p.picture = art.background;
  p.pictureMode = 3;  // stretched
  p.controlBox = 1;
  p.maxButton = 0;
  p.minButton = 1;
  p.startPosition = 1;  // centred
  p.movable = 1;
  p.icon = art.icon;
  p.taskbar = 1;
  p.dragAnywhere = 1;
  return p.Save();
}

std::vector<std::string> ConnectionNames() {
  const std::string local = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3";                    // 本地连接
  const std::string wireless = "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3";  // 无线网络连接
  std::vector<std::string> names = {local,           local + " 1 ",     local + " 2 ",     wireless,
                                    wireless + " 1 ", wireless + " 2 ", wireless + " 3 ", wireless + " 4"};
  for (char d = '1'; d <= '8'; ++d) names.push_back(std::string("VMware Network Adapter VMnet") + d);
  names.insert(names.end(), 3, std::string());
  return names;
}

std::vector<std::string> AddressPrefixes() { return {"172.16.3.", "172.16.12.", "192.168.2.", "192.168.3.", ""}; }
std::vector<std::string> DnsSuggestions() { return {"222.222.222.222", ""}; }

}  // namespace

WindowDesign Design(const Art& art) {
  // Names are GBK: 标签 label, 按钮 button, 组合框 combo box, 分组框 group
  // box, 外形框 shape box, followed by the design's serial digit.
  const char* const label = "\xb1\xea\xc7\xa9";
  const char* const button = "\xb0\xb4\xc5\xa5";
  const char* const combo = "\xd7\xe9\xba\xcf\xbf\xf2";
  auto name = [](const char* stem, char digit) { return std::string(stem) + digit; };

  // 动 态 获 取, one character a line with an empty line between.
  const std::string dhcpCaption =
      "\xb6\xaf\r\n\r\n"
      "\xcc\xac\r\n\r\n"
      "\xbb\xf1\r\n\r\n"
      "\xc8\xa1";

  WindowDesign w;
  w.id = kWindowId;
  w.designA = kDesignA;
  w.designB = kDesignB;

  auto& u = w.units;
  u.push_back(Bound(Unit(kOwnRecordId, unit_types::kWindow, "", 0, {50, 50, 482, 309}, kVisible, WindowBlob(art)),
                    kWindowLoadedOffset));
  u.push_back(Bound(Unit(kDecorLabelId, unit_types::kLabel, name(label, '8'), 0, {312, 56, 112, 48}, kVisible,
                         DecorLabelBlob()),
                    kDecorLabelEventOffset));
  u.push_back(Unit(kStaticLabelId, unit_types::kLabel, name(label, '7'), kInnerShapeId, {280, 7, 88, 24}, kVisible,
                   LabelBlob("static", 1)));
  u.push_back(Bound(Unit(kDhcpButtonId, unit_types::kButton, name(button, '4'), kGroupId, {424, 32, 32, 112},
                         kVisibleTabStop, ButtonBlob(dhcpCaption)),
                    kUseDhcpOffset));
  u.push_back(Bound(Unit(kAlternateButtonId, unit_types::kButton, name(button, '3'), kGroupId, {336, 120, 56, 24},
                         kVisibleTabStop, ButtonBlob("\xb1\xb8\xd3\xc3(A)")),  // 备用(A)
                    kAddAlternateDnsOffset));
  u.push_back(Unit(kAlternateDnsBoxId, unit_types::kComboBox, name(combo, '6'), kGroupId, {272, 96, 120, 20},
                   kVisibleTabStop, ComboBlob(DnsSuggestions(), -1)));
  u.push_back(Unit(kAlternateLabelId, unit_types::kLabel, name(label, '6'), kGroupId, {232, 96, 32, 24}, kVisible,
                   LabelBlob("DNS.A", 0)));
  u.push_back(Bound(Unit(kPreferredButtonId, unit_types::kButton, name(button, '2'), kGroupId, {272, 120, 56, 24},
                         kVisibleTabStop, ButtonBlob("\xca\xd7\xd1\xa1(P)")),  // 首选(P)
                    kSetPreferredDnsOffset));
  u.push_back(Unit(kPreferredDnsBoxId, unit_types::kComboBox, name(combo, '5'), kGroupId, {272, 64, 120, 20},
                   kVisibleTabStop, ComboBlob(DnsSuggestions(), -1)));
  u.push_back(Unit(kPreferredLabelId, unit_types::kLabel, name(label, '5'), kGroupId, {232, 64, 32, 24}, kVisible,
                   LabelBlob("DNS.P", 0)));
  u.push_back(Bound(Unit(kStaticButtonId, unit_types::kButton, name(button, '1'), kGroupId, {96, 120, 56, 24},
                         kVisibleTabStop, ButtonBlob("\xbe\xb2\xcc\xac(S)")),  // 静态(S)
                    kSetStaticAddressOffset));
  u.push_back(Unit(kGatewayBoxId, unit_types::kComboBox, name(combo, '4'), kGroupId, {64, 96, 136, 20},
                   kVisibleTabStop, ComboBlob(AddressPrefixes(), -1)));
  u.push_back(Unit(kGatewayLabelId, unit_types::kLabel, name(label, '4'), kGroupId, {24, 96, 16, 24}, kVisible,
                   LabelBlob("GW", 0)));
  u.push_back(Unit(kMaskBoxId, unit_types::kComboBox, name(combo, '3'), kGroupId, {64, 64, 136, 20},
                   kVisibleTabStop, ComboBlob({"255.255.255.0", ""}, -1)));
  u.push_back(Unit(kMaskLabelId, unit_types::kLabel, name(label, '3'), kGroupId, {24, 64, 16, 24}, kVisible,
                   LabelBlob("MAC", 0)));
  u.push_back(Unit(kAddressBoxId, unit_types::kComboBox, name(combo, '2'), kGroupId, {64, 32, 136, 20},
                   kVisibleTabStop, ComboBlob(AddressPrefixes(), -1)));
  u.push_back(Unit(kAddressLabelId, unit_types::kLabel, name(label, '2'), kGroupId, {24, 32, 16, 24}, kVisible,
                   LabelBlob("IP", 0)));
  u.push_back(Unit(kConnectionNameBoxId, unit_types::kComboBox, name(combo, '1'), kPanelId, {64, 16, 200, 20},
                   kVisibleTabStop, ComboBlob(ConnectionNames(), 0)));
  u.push_back(Unit(kConnectionLabelId, unit_types::kLabel, name(label, '1'), kPanelId, {8, 16, 48, 24}, kVisible,
                   LabelBlob("\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6", 0)));  // 网卡名称

  GroupBoxProps group;
  group.captionPosition = 2;  // right
  UnitDesign groupBox = Unit(kGroupId, unit_types::kGroupBox, "\xb7\xd6\xd7\xe9\xbf\xf2" "1",  // 分组框1
                             kPanelId, {0, 40, 480, 192}, kVisible, group.Save());
  groupBox.children = {kInnerShapeId,  kDhcpButtonId,  kAlternateButtonId, kAlternateDnsBoxId, kAlternateLabelId,
                       kPreferredButtonId, kPreferredDnsBoxId, kPreferredLabelId, kStaticButtonId, kGatewayBoxId,
                       kGatewayLabelId, kMaskBoxId,     kMaskLabelId,       kAddressBoxId,      kAddressLabelId};
  u.push_back(std::move(groupBox));

  UnitDesign panel = Unit(kPanelId, unit_types::kShapeBox, "\xcd\xe2\xd0\xce\xbf\xf2" "1",  // 外形框1
                          0, {0, 48, 480, 240}, kVisible, ShapeBlob(1, 0xC0C0C0));
  panel.children = {kConnectionNameBoxId, kConnectionLabelId, kGroupId};
  u.push_back(std::move(panel));

  UnitDesign inner = Unit(kInnerShapeId, unit_types::kShapeBox, "\xcd\xe2\xd0\xce\xbf\xf2" "2",  // 外形框2
                          kGroupId, {8, 17, 408, 144}, kVisible, ShapeBlob(5, 0x808000));
  inner.children = {kStaticLabelId};
  u.push_back(std::move(inner));
  return w;
}

}  // namespace kavrel::main_window
