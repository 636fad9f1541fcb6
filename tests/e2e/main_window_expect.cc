#include "main_window_expect.h"

namespace kavrel::e2e {

namespace {

using K = UnitKind;

// 动, 态, 获, 取 one per line, an empty line between each two.
const std::string kDhcpCaption =
    "\xb6\xaf\x0d\x0a\x0d\x0a\xcc\xac\x0d\x0a\x0d\x0a\xbb\xf1\x0d\x0a\x0d\x0a\xc8\xa1";

}  // namespace

const std::vector<ExpectedUnit>& ExpectedUnits() {
  static const std::vector<ExpectedUnit> units = {
      {1, 0x16010051, K::Label, 0, 312, 56, 112, 48, 312, 56, false, "\xce\xd2\xd4\xb8\xd2\xe2"},  // 我愿意
      {2, 0x1601004C, K::Label, 0x1601004B, 280, 7, 88, 24, 288, 112, false, "static"},
      {3, 0x1601004A, K::Button, 0x16010013, 424, 32, 32, 112, 424, 120, true, kDhcpCaption},
      {4, 0x16010037, K::Button, 0x16010013, 336, 120, 56, 24, 336, 208, true, "\xb1\xb8\xd3\xc3(A)"},  // 备用(A)
      {5, 0x16010036, K::ComboBox, 0x16010013, 272, 96, 120, 20, 272, 184, true, ""},
      {6, 0x16010032, K::Label, 0x16010013, 232, 96, 32, 24, 232, 184, false, "DNS.A"},
      {7, 0x16010031, K::Button, 0x16010013, 272, 120, 56, 24, 272, 208, true, "\xca\xd7\xd1\xa1(P)"},  // 首选(P)
      {8, 0x16010030, K::ComboBox, 0x16010013, 272, 64, 120, 20, 272, 152, true, ""},
      {9, 0x1601002F, K::Label, 0x16010013, 232, 64, 32, 24, 232, 152, false, "DNS.P"},
      {10, 0x1601002E, K::Button, 0x16010013, 96, 120, 56, 24, 96, 208, true, "\xbe\xb2\xcc\xac(S)"},  // 静态(S)
      {11, 0x1601002D, K::ComboBox, 0x16010013, 64, 96, 136, 20, 64, 184, true, ""},
      {12, 0x16010028, K::Label, 0x16010013, 24, 96, 16, 24, 24, 184, false, "GW"},
      {13, 0x16010027, K::ComboBox, 0x16010013, 64, 64, 136, 20, 64, 152, true, ""},
      {14, 0x16010023, K::Label, 0x16010013, 24, 64, 16, 24, 24, 152, false, "MAC"},
      {15, 0x1601001F, K::ComboBox, 0x16010013, 64, 32, 136, 20, 64, 120, true, ""},
      {16, 0x1601001B, K::Label, 0x16010013, 24, 32, 16, 24, 24, 120, false, "IP"},
      {17, 0x1601001A, K::ComboBox, 0x1601000F, 64, 16, 200, 20, 64, 64, true, ""},
      {18, 0x16010014, K::Label, 0x1601000F, 8, 16, 48, 24, 8, 64, false, "\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6"},  // 网卡名称
      {19, 0x16010013, K::GroupBox, 0x1601000F, 0, 40, 480, 192, 0, 88, false, ""},
      {20, 0x1601000F, K::ShapeBox, 0, 0, 48, 480, 240, 0, 48, false, ""},
      {21, 0x1601004B, K::ShapeBox, 0x16010013, 8, 17, 408, 144, 8, 105, false, ""},
  };
  return units;
}

const wchar_t* ClassOf(UnitKind kind) {
  switch (kind) {
    case K::Label: return L"_EL_Label";
    case K::ShapeBox: return L"_EL_ShapeBox";
    case K::ComboBox: return L"ComboBox";
    case K::Button:
    case K::GroupBox: return L"Button";
  }
  return L"";
}

std::vector<std::string> ExpectedEntries(uint32_t comboId) {
  const std::vector<std::string> addresses = {"172.16.3.", "172.16.12.", "192.168.2.", "192.168.3.", ""};
  switch (comboId) {
    case kConnectionNameBox: {
      std::vector<std::string> names = {
          text::kLocal,
          text::kLocal1,
          "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3\x20\x32\x20",                  // 本地连接 2 (trailing blank)
          "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3",              // 无线网络连接
          "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\x20\x31\x20",  // 无线网络连接 1 (trailing blank)
          "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\x20\x32\x20",  // 无线网络连接 2 (trailing blank)
          "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\x20\x33\x20",  // 无线网络连接 3 (trailing blank)
          "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3\x20\x34",      // 无线网络连接 4
      };
      for (char digit = '1'; digit <= '8'; ++digit) names.push_back(std::string("VMware Network Adapter VMnet") + digit);
      names.insert(names.end(), 3, "");
      return names;
    }
    case kAddressBox:
    case kGatewayBox: return addresses;
    case kMaskBox: return {"255.255.255.0", ""};
    case kPreferredDnsBox:
    case kAlternateDnsBox: return {"222.222.222.222", ""};
  }
  return {};
}

}  // namespace kavrel::e2e
