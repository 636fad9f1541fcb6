// Key codes and what they ask the window to do.
#include <gtest/gtest.h>

#include "window/key_codes.h"

namespace kavrel {
namespace {

TEST(KeyCodes, KeypadFoldsOntoTheMainKeyboard) {
  for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(KeyCode(0x60 + i, false, false, false), '0' + i);
  EXPECT_EQ(KeyCode(0x6D, false, false, false), 0xBDu);  // minus
  EXPECT_EQ(KeyCode(0x6E, false, false, false), 0xBEu);  // decimal point
  EXPECT_EQ(KeyCode(0x6F, false, false, false), 0xBFu);  // divide
  EXPECT_EQ(KeyCode(0x6A, false, false, false), 0x6Au);  // multiply stays
  // Only the low byte of wParam counts.
  EXPECT_EQ(KeyCode(0x1241, false, false, false), 0x41u);
}

TEST(KeyCodes, ModifierFlags) {
  EXPECT_EQ(KeyCode('A', true, true, true), 'A' | kKeyCtrl | kKeyShift | kKeyAlt);
  EXPECT_EQ(KeyCode(0x61, false, true, false), '1' | kKeyShift);
  // A modifier key does not flag itself, but does flag the others.
  EXPECT_EQ(KeyCode(0x10, false, true, false), 0x10u);
  EXPECT_EQ(KeyCode(0x11, true, true, false), 0x11u | kKeyShift);
  EXPECT_EQ(KeyCode(0x12, false, false, true), 0x12u);
  EXPECT_EQ(KeyCode(0xA5, true, false, true), 0xA5u | kKeyCtrl);
}

TEST(KeyCodes, Actions) {
  EXPECT_EQ(ClassifyKey(KeyCode(9, false, false, false)), KeyAction::kNextUnit);
  EXPECT_EQ(ClassifyKey(KeyCode(9, false, true, false)), KeyAction::kPreviousUnit);
  EXPECT_EQ(ClassifyKey(KeyCode(9, true, false, false)), KeyAction::kNone);
  EXPECT_EQ(ClassifyKey(13), KeyAction::kEnter);
  EXPECT_EQ(ClassifyKey(13 | kKeyCtrl), KeyAction::kNone);
  EXPECT_EQ(ClassifyKey(27), KeyAction::kEscape);
  EXPECT_EQ(ClassifyKey(0x70), KeyAction::kHelp);
  EXPECT_EQ(ClassifyKey(0x25), KeyAction::kArrowBackward);
  EXPECT_EQ(ClassifyKey(0x26), KeyAction::kArrowBackward);
  EXPECT_EQ(ClassifyKey(0x27), KeyAction::kArrowForward);
  EXPECT_EQ(ClassifyKey(0x28), KeyAction::kArrowForward);
  EXPECT_EQ(ClassifyKey(0x28 | kKeyShift), KeyAction::kNone);
  EXPECT_EQ(ClassifyKey('S' | kKeyAlt), KeyAction::kMnemonic);
  EXPECT_EQ(ClassifyKey(KeyCode(0x65, false, false, true)), KeyAction::kMnemonic);  // Alt + keypad 5
  EXPECT_EQ(MnemonicChar('S' | kKeyAlt), 'S');
  EXPECT_EQ(ClassifyKey('S' | kKeyAlt | kKeyShift), KeyAction::kNone);
  EXPECT_EQ(ClassifyKey('S' | kKeyAlt | kKeyCtrl), KeyAction::kNone);
  EXPECT_EQ(ClassifyKey(0xBD | kKeyAlt), KeyAction::kNone);
}

TEST(KeyCodes, MnemonicsInTexts) {
  EXPECT_TRUE(TextHasMnemonic("&Save", 'S'));
  EXPECT_TRUE(TextHasMnemonic("&save", 'S'));
  EXPECT_TRUE(TextHasMnemonic("Open &3", '3'));
  EXPECT_FALSE(TextHasMnemonic("Save", 'S'));
  EXPECT_FALSE(TextHasMnemonic("A&&S", 'S'));  // "&&" is a plain ampersand
  EXPECT_TRUE(TextHasMnemonic("A&&&S", 'S'));
  EXPECT_FALSE(TextHasMnemonic("S&", 'S'));
  // 静态(&S): the mnemonic after double-byte characters.
  EXPECT_TRUE(TextHasMnemonic("\xbe\xb2\xcc\xac(&S)", 'S'));
  // A double-byte character whose second byte is a letter is not "&" plus it.
  EXPECT_FALSE(TextHasMnemonic("&\x81" "A", 'A'));
}

}  // namespace
}  // namespace kavrel
