// Key-down messages as the window's keyboard handling sees them: the virtual
// key with the keypad folded onto the main keyboard and the modifiers as
// flag bits; and what each code asks the window to do.
#pragma once

#include <cstdint>
#include <string_view>

namespace kavrel {

inline constexpr uint32_t kKeyCtrl = 0x2000;
inline constexpr uint32_t kKeyShift = 0x4000;
inline constexpr uint32_t kKeyAlt = 0x8000;
inline constexpr uint32_t kKeyModifiers = kKeyCtrl | kKeyShift | kKeyAlt;

// `virtualKey` is the message's wParam; only its low byte counts. A
// modifier key itself does not add its own flag.
uint32_t KeyCode(uint32_t virtualKey, bool ctrl, bool shift, bool alt);

enum class KeyAction {
  kNone,
  kNextUnit,      // Tab
  kPreviousUnit,  // Shift+Tab
  kEnter,
  kEscape,
  kHelp,           // F1
  kArrowBackward,  // left, up
  kArrowForward,   // right, down
  kMnemonic,       // Alt plus a letter or digit
};

KeyAction ClassifyKey(uint32_t keyCode);

// The character of a mnemonic key code (an upper-case letter or a digit).
inline char MnemonicChar(uint32_t keyCode) { return char(keyCode & 0xFF); }

// Whether `text` holds "&" followed by `c` (letters in either case). "&&"
// stands for a plain ampersand, and the second byte of a double-byte
// character is never taken for one.
bool TextHasMnemonic(std::string_view text, char c);

}  // namespace kavrel
