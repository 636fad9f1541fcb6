// The main window as it is designed to appear, written out independently of
// the program's own design data so that the tests compare the running
// window against the design and not against itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kavrel::e2e {

enum class UnitKind { Label, Button, ComboBox, GroupBox, ShapeBox };

struct ExpectedUnit {
  int record;  // entry in the window's unit table, 1 to 21
  uint32_t id;
  UnitKind kind;
  uint32_t parent;  // 0: the window
  int left, top, width, height;  // in the parent's client area
  int clientLeft, clientTop;     // in the window's client area
  bool tabStop;
  std::string text;  // GBK
};

inline constexpr uint32_t kConnectionNameBox = 0x1601001A;
inline constexpr uint32_t kAddressBox = 0x1601001F;
inline constexpr uint32_t kMaskBox = 0x16010027;
inline constexpr uint32_t kGatewayBox = 0x1601002D;
inline constexpr uint32_t kPreferredDnsBox = 0x16010030;
inline constexpr uint32_t kAlternateDnsBox = 0x16010036;
inline constexpr uint32_t kStaticButton = 0x1601002E;
inline constexpr uint32_t kPreferredButton = 0x16010031;
inline constexpr uint32_t kAlternateButton = 0x16010037;
inline constexpr uint32_t kDhcpButton = 0x1601004A;
inline constexpr uint32_t kPanelShape = 0x1601000F;
inline constexpr uint32_t kGroupBox = 0x16010013;
inline constexpr uint32_t kInnerShape = 0x1601004B;

// Units are created from the last record to the first and numbered 100,
// 110, ... in that order.
inline int ControlId(int record) { return 100 + 10 * (21 - record); }

const std::vector<ExpectedUnit>& ExpectedUnits();
const wchar_t* ClassOf(UnitKind kind);

// Texts of the design and of the notices, GBK.
namespace text {
inline const std::string kCaption = "Kavrel V1.2";
inline const std::string kNoticeTitle = "\xcc\xe1\xca\xbe";  // 提示
inline const std::string kNameMissing =
    "\xc7\xeb\xca\xe4\xc8\xeb\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6\xa3\xa1";  // 请输入网卡名称！
inline const std::string kAddressOrMaskMissing =
    "\x49\x50\xbb\xf2\x4d\x41\x43\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5\x21";  // IP或MAC不能为空!
inline const std::string kAlternateMissing = "\xb1\xb8\xd3\xc3\x44\x4e\x53\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5";  // 备用DNS不能为空
inline const std::string kAlternateConflict =
    "\xb1\xb8\xd3\xc3\x44\x4e\x53\xba\xcd\xca\xd7\xd1\xa1\x44\x4e\x53\xb3\xe5\xcd\xbb";  // 备用DNS和首选DNS冲突
inline const std::string kPreferredMissing = "\xca\xd7\xd1\xa1\x44\x4e\x53\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5";  // 首选DNS不能为空
inline const std::string kPreferredConflict =
    "\xca\xd7\xd1\xa1\x44\x4e\x53\xba\xcd\xb1\xb8\xd3\xc3\x44\x4e\x53\xb3\xe5\xcd\xbb";  // 首选DNS和备用DNS冲突
inline const std::string kIllegalCharacters =
    "\xca\xe4\xc8\xeb\xc4\xda\xc8\xdd\xba\xac\xd3\xd0\xb7\xc7\xb7\xa8\xd7\xd6\xb7\xfb\x21";  // 输入内容含有非法字符!
inline const std::string kLocal = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3";              // 本地连接
inline const std::string kLocal1 = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3\x20\x31\x20";  // 本地连接 1 (trailing blank)
}  // namespace text

std::vector<std::string> ExpectedEntries(uint32_t comboId);

}  // namespace kavrel::e2e
