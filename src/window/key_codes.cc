#include "window/key_codes.h"

namespace kavrel {

namespace {

constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkMenu = 0x12;
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkDown = 0x28;
constexpr uint32_t kVkNumpad0 = 0x60;
constexpr uint32_t kVkNumpad9 = 0x69;
constexpr uint32_t kVkSubtract = 0x6D;
constexpr uint32_t kVkDecimal = 0x6E;
constexpr uint32_t kVkDivide = 0x6F;
constexpr uint32_t kVkF1 = 0x70;
constexpr uint32_t kVkLShift = 0xA0;
constexpr uint32_t kVkRMenu = 0xA5;
constexpr uint32_t kVkOemMinus = 0xBD;
constexpr uint32_t kVkOemPeriod = 0xBE;
constexpr uint32_t kVkOemSlash = 0xBF;

bool IsLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

uint32_t KeyCode(uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  uint32_t key = virtualKey & 0xFF;
  if (key >= kVkNumpad0 && key <= kVkNumpad9) {
    key = '0' + (key - kVkNumpad0);
  } else if (key == kVkSubtract) {
    key = kVkOemMinus;
  } else if (key == kVkDecimal) {
    key = kVkOemPeriod;
  } else if (key == kVkDivide) {
    key = kVkOemSlash;
  }
  // Left and right variants count as the modifier they are.
  const bool isShift = key == kVkShift || key == kVkLShift || key == kVkLShift + 1;
  const bool isCtrl = key == kVkControl || key == kVkLShift + 2 || key == kVkLShift + 3;
  const bool isAlt = key == kVkMenu || key == kVkLShift + 4 || key == kVkRMenu;
  if (ctrl && !isCtrl) key |= kKeyCtrl;
  if (shift && !isShift) key |= kKeyShift;
  if (alt && !isAlt) key |= kKeyAlt;
  return key;
}

KeyAction ClassifyKey(uint32_t keyCode) {
  const uint32_t key = keyCode & 0xFF;
  const uint32_t mods = keyCode & kKeyModifiers;
  if (keyCode == kVkTab) return KeyAction::kNextUnit;
  if (keyCode == (kVkTab | kKeyShift)) return KeyAction::kPreviousUnit;
  if (keyCode == kVkReturn) return KeyAction::kEnter;
  if (keyCode == kVkEscape) return KeyAction::kEscape;
  if (keyCode == kVkF1) return KeyAction::kHelp;
  if (mods == 0 && (key == kVkLeft || key == kVkUp)) return KeyAction::kArrowBackward;
  if (mods == 0 && (key == kVkRight || key == kVkDown)) return KeyAction::kArrowForward;
  if (mods == kKeyAlt && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return KeyAction::kMnemonic;
  return KeyAction::kNone;
}

bool TextHasMnemonic(std::string_view text, char c) {
  const char wanted = Upper(c);
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t b = uint8_t(text[i]);
    if (IsLeadByte(b)) {
      ++i;  // the trail byte
      continue;
    }
    if (b != '&' || i + 1 >= text.size()) continue;
    const char next = text[i + 1];
    ++i;
    if (next == '&') continue;
    if (Upper(next) == wanted) return true;
  }
  return false;
}

}  // namespace kavrel
