// Keyboard and closing: the Tab order of the boxes and buttons, Esc, and
// the system menu's Close, each ending the program with exit code 0.
#include <iterator>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

class Keys : public KavrelTest {
 protected:
  // A click into the box's edit field, as a user gives it the focus.
  testing::AssertionResult ClickInto(uint32_t combo) const {
    HWND edit = FindWindowExW(Unit(combo), nullptr, L"Edit", nullptr);
    if (!edit) return testing::AssertionFailure() << "no edit field";
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    if (!WaitUntil([&] { return app->Focus() == Unit(combo); }, 5000))
      return testing::AssertionFailure() << "the box did not take the focus";
    return testing::AssertionSuccess();
  }
  testing::AssertionResult FocusMovesTo(uint32_t unit) const {
    if (WaitUntil([&] { return app->Focus() == Unit(unit); }, 5000)) return testing::AssertionSuccess();
    HWND focus = app->Focus();
    return testing::AssertionFailure() << "the focus is on " << (focus ? Readable(ToGbk(ClassName(focus))) : "nothing")
                                       << " \"" << (focus ? Readable(WindowText(focus)) : "") << "\"";
  }
};

// Units with the tab stop in record order (all have tab order 0); the
// same cycle as walking the containers in stacking order.
const uint32_t kTabOrder[] = {kConnectionNameBox, kDhcpButton,   kAlternateButton, kAlternateDnsBox, kPreferredButton,
                              kPreferredDnsBox,   kStaticButton, kGatewayBox,      kMaskBox,         kAddressBox};

TEST_F(Keys, TabAndShiftTabGoRoundTheBoxesAndButtons) {
  ASSERT_TRUE(ClickInto(kConnectionNameBox));
  constexpr size_t n = std::size(kTabOrder);
  for (size_t i = 1; i <= n; ++i) {
    SCOPED_TRACE(testing::Message() << "Tab " << i);
    ASSERT_TRUE(app->PressKey(VK_TAB));
    ASSERT_TRUE(FocusMovesTo(kTabOrder[i % n]));
  }
  for (size_t i = 1; i <= n; ++i) {
    SCOPED_TRACE(testing::Message() << "Shift+Tab " << i);
    ASSERT_TRUE(app->PressKey(VK_TAB, true));
    ASSERT_TRUE(FocusMovesTo(kTabOrder[(n - i) % n]));
  }
}

TEST_F(Keys, EscInABoxClosesTheWindowWithExitCodeZero) {
  ASSERT_TRUE(ClickInto(kAddressBox));
  ASSERT_TRUE(app->Type(Unit(kAddressBox), "192.168."));
  ASSERT_TRUE(app->PressKey(VK_ESCAPE));
  EXPECT_EQ(app->WaitForExit(15000), 0u);
}

TEST_F(Keys, SpaceOnAFocusedButtonPressesItOnce) {
  ASSERT_TRUE(Fill({text::kLocal, "", "", "", "", ""}));
  ASSERT_TRUE(ClickInto(kConnectionNameBox));
  ASSERT_TRUE(app->PressKey(VK_TAB));
  ASSERT_TRUE(FocusMovesTo(kDhcpButton));
  ASSERT_TRUE(app->PressKey(VK_SPACE));
  ASSERT_TRUE(log.WaitForRecords(2, 30000));
  app->WaitForNoChildren(15000);
  EXPECT_EQ(log.Read().records.size(), 2u) << "one press, one line, two netsh runs";
}

class Closing : public KavrelTest {};

TEST_F(Closing, TheSystemMenusCloseEndsWithExitCodeZero) {
  PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app->WaitForExit(15000), 0u);
  ExpectNothingRun();
}

}  // namespace
}  // namespace kavrel::e2e
