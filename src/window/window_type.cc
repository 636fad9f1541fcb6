#include "window/window_type.h"

namespace kavrel {

namespace {

constexpr uint16_t kFixed = 0xE000;
constexpr uint16_t kOwn = 0x8000;

constexpr PropertyDescriptor Entry(int16_t type, uint16_t flags) { return {nullptr, nullptr, nullptr, type, flags, nullptr}; }

// 窗口
constexpr char kChineseName[] = "\xb4\xb0\xbf\xda";

}  // namespace

const PropertyDescriptor kWindowProperties[kWindowPropertyCount] = {
    // Common: left, top, width, height, tag, visible, disabled, pointer.
    Entry(ptype::kInteger, kFixed), Entry(ptype::kInteger, kFixed), Entry(ptype::kInteger, kFixed),
    Entry(ptype::kInteger, kFixed), Entry(ptype::kText, kFixed), Entry(ptype::kLogical, kFixed),
    Entry(ptype::kLogical, kFixed), Entry(ptype::kCursor, kFixed),
    // Own, in own-number order.
    Entry(ptype::kText, kOwn),             // 0 caption
    Entry(ptype::kChoice, kOwn),           // 1 border
    Entry(ptype::kColourOrDefault, kOwn),  // 2 background colour
    Entry(ptype::kPicture, kOwn),          // 3 background picture
    Entry(ptype::kChoice, kOwn),           // 4 picture mode
    Entry(ptype::kSound, kOwn),            // 5 background sound
    Entry(ptype::kChoice, kOwn),           // 6 sound mode
    Entry(ptype::kLogical, kOwn),          // 7 control box
    Entry(ptype::kLogical, kOwn),          // 8 maximise button
    Entry(ptype::kLogical, kOwn),          // 9 minimise button
    Entry(ptype::kChoice, kOwn),           // 10 start position
    Entry(ptype::kLogical, kOwn),          // 11 movable
    Entry(ptype::kIcon, kOwn),             // 12 icon
    Entry(ptype::kLogical, kOwn),          // 13 Enter moves on
    Entry(ptype::kLogical, kOwn),          // 14 Esc closes
    Entry(ptype::kLogical, kOwn),          // 15 F1 help
    Entry(ptype::kFileName, kOwn),         // 16 help file
    Entry(ptype::kInteger, kOwn),          // 17 help context
    Entry(ptype::kLogical, kOwn),          // 18 taskbar
    Entry(ptype::kLogical, kOwn),          // 19 drag anywhere
    Entry(ptype::kChoice, kOwn),           // 20 shape
    Entry(ptype::kLogical, kOwn),          // 21 always on top
    Entry(ptype::kInteger, kOwn),          // 22
    Entry(ptype::kText, kOwn),             // 23 window class name
};

const UnitTypeDescriptor kWindowUnitType = {
    kChineseName, "window", nullptr, 0, nullptr, kWindowTypeFlags, 0, 0, nullptr,
    kWindowPropertyCount, kWindowProperties, &WindowUnitInterface, 0, nullptr,
};

}  // namespace kavrel
