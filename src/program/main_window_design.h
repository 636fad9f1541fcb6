// The design of the program's one window, 0x52010001, as data: the window's
// own record and properties and its 21 units in UnitTable order. The build's
// generator writes the TemplateStore from it; the pictures are the
// generator's own art and come in as file bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "commands/runtime_services.h"
#include "templates/template_writer.h"

namespace kavrel::main_window {

inline constexpr WindowId kWindowId = 0x52010001;
inline constexpr UnitId kOwnRecordId = 0x06010000;
inline constexpr uint32_t kDesignA = 0x023B42E0;
inline constexpr uint32_t kDesignB = 0x19010003;

inline constexpr UnitId kDecorLabelId = 0x16010051;  // 我愿意
inline constexpr UnitId kStaticLabelId = 0x1601004C;
inline constexpr UnitId kDhcpButtonId = 0x1601004A;
inline constexpr UnitId kAlternateButtonId = 0x16010037;
inline constexpr UnitId kAlternateDnsBoxId = 0x16010036;
inline constexpr UnitId kAlternateLabelId = 0x16010032;
inline constexpr UnitId kPreferredButtonId = 0x16010031;
inline constexpr UnitId kPreferredDnsBoxId = 0x16010030;
inline constexpr UnitId kPreferredLabelId = 0x1601002F;
inline constexpr UnitId kStaticButtonId = 0x1601002E;
inline constexpr UnitId kGatewayBoxId = 0x1601002D;
inline constexpr UnitId kGatewayLabelId = 0x16010028;
inline constexpr UnitId kMaskBoxId = 0x16010027;
inline constexpr UnitId kMaskLabelId = 0x16010023;
inline constexpr UnitId kAddressBoxId = 0x1601001F;
inline constexpr UnitId kAddressLabelId = 0x1601001B;
inline constexpr UnitId kConnectionNameBoxId = 0x1601001A;
inline constexpr UnitId kConnectionLabelId = 0x16010014;
inline constexpr UnitId kGroupId = 0x16010013;
inline constexpr UnitId kPanelId = 0x1601000F;
inline constexpr UnitId kInnerShapeId = 0x1601004B;

// Stored handler offsets from the CodeBase, as the program's routines lie.
inline constexpr uint32_t kSetStaticAddressOffset = 0x164;
inline constexpr uint32_t kAddAlternateDnsOffset = 0x480;
inline constexpr uint32_t kUseDhcpOffset = 0x79E;
inline constexpr uint32_t kSetPreferredDnsOffset = 0x9CC;
inline constexpr uint32_t kWindowLoadedOffset = 0x797;      // window event 0, empty
inline constexpr uint32_t kDecorLabelEventOffset = 0xCDE;  // label event 0, empty

// 华文行楷: the brush-script face of the decorative label.
inline constexpr char kDecorFace[] = "\xbb\xaa\xce\xc4\xd0\xd0\xbf\xac";

struct Art {
  std::vector<uint8_t> background;  // JPEG file
  std::vector<uint8_t> icon;        // ICO file
};

WindowDesign Design(const Art& art);

}  // namespace kavrel::main_window
