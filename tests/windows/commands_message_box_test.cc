#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app_test_support.h"
#include "commands/message_box_win32.h"
#include "framework/window_win32.h"

namespace kavrel {
namespace {

using test::BoxWatcher;

constexpr char kTitle[] = "KavrelBoxTest";

int32_t ShowBox(const CommandArg& message, uint32_t flags, const char* title = kTitle, int32_t count = 4,
                CommandArg owner = CommandArg::Omitted()) {
  const CommandArg args[4] = {message, CommandArg::OfInt(int32_t(flags)),
                              title ? CommandArg::OfText(title) : CommandArg::Omitted(), owner};
  return int32_t(CallCommand(&ShowMessageBox, count, args).low);
}

// A plain top-level window of this thread.
HWND MakeWindow() {
  return CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 60, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(MessageBoxCommand, EveryButtonMapsToItsResult) {
  struct Case {
    uint32_t flags;
    int button;  // 0: closed with WM_CLOSE
    int32_t result;
  };
  const Case cases[] = {{MB_OK, IDOK, 0},
                        {MB_OKCANCEL, IDCANCEL, 1},
                        {MB_OKCANCEL, 0, 1},
                        {MB_ABORTRETRYIGNORE, IDABORT, 2},
                        {MB_RETRYCANCEL, IDRETRY, 3},
                        {MB_ABORTRETRYIGNORE, IDIGNORE, 4},
                        {MB_YESNOCANCEL, IDYES, 5},
                        {MB_YESNO, IDNO, 6}};
  for (const Case& c : cases) {
    BoxWatcher watcher(kTitle, c.button);
    EXPECT_EQ(ShowBox(CommandArg::OfText("pick"), c.flags), c.result) << c.flags << " " << c.button;
    watcher.Join();
    EXPECT_TRUE(watcher.found());
    EXPECT_EQ(watcher.text(), "pick");
  }
}

TEST(MessageBoxCommand, MessagesAndDefaultTitle) {
  struct Case {
    CommandArg message;
    std::string shown;
  };
  const Case cases[] = {{CommandArg::OfLogical(true), "\xd5\xe6"},  // 真
                        {CommandArg::OfInt(42), "42"},
                        {CommandArg::OfText(nullptr), ""},
                        {CommandArg::Omitted(), ""},
                        {CommandArg::OfPointer("bytes", tags::kByteBlock), ""}};
  for (const Case& c : cases) {
    // Found only by the default caption 信息：.
    BoxWatcher watcher(kDefaultMessageBoxTitle, IDOK);
    EXPECT_EQ(ShowBox(c.message, 0, nullptr), 0);
    watcher.Join();
    EXPECT_TRUE(watcher.found());
    EXPECT_EQ(watcher.text(), c.shown);
  }
}

struct ModalState {
  HWND other;
  bool otherEnabled = true;
  int buttons = 0;
  HWND owner = nullptr;
};

void Inspect(HWND box, void* context) {
  auto* state = static_cast<ModalState*>(context);
  state->otherEnabled = state->other && IsWindowEnabled(state->other);
  state->buttons = test::BoxButtonCount(box);
  state->owner = GetWindow(box, GW_OWNER);
}

TEST(MessageBoxCommand, TaskModalUnlessSystemModal) {
  HWND other = MakeWindow();
  ASSERT_NE(other, nullptr);
  struct Case {
    uint32_t flags;
    bool otherEnabled;
  };
  // Flags that are task-modal already stay so: no carry into MB_HELP, which
  // would add a Help button.
  const Case cases[] = {{MB_OK, false}, {MB_OK | MB_TASKMODAL, false}, {MB_OK | MB_SYSTEMMODAL, true}};
  for (const Case& c : cases) {
    ModalState state{other};
    {
      BoxWatcher watcher(kTitle, IDOK, &Inspect, &state);
      EXPECT_EQ(ShowBox(CommandArg::OfText("modal"), c.flags), 0);
    }
    EXPECT_EQ(state.otherEnabled, c.otherEnabled) << c.flags;
    EXPECT_EQ(state.buttons, 1) << c.flags;
    EXPECT_TRUE(IsWindowEnabled(other));
  }
  DestroyWindow(other);
}

Window* g_liveWindow = nullptr;
intptr_t LiveObjectCallback(int32_t code, intptr_t window, intptr_t unit) {
  return code == 2006 && window == 0x52010001 && unit == 0 ? reinterpret_cast<intptr_t>(g_liveWindow) : 0;
}

TEST(MessageBoxCommand, OwnerRules) {
  Window object;
  ASSERT_TRUE(object.Subclass(MakeWindow()));
  HWND hwnd = object.hwnd();
  g_liveWindow = &object;
  SetMessageBoxCallback(&LiveObjectCallback);
  struct Case {
    CommandArg owner;
    int32_t count;
    HWND expected;
  };
  const Case cases[] = {
      {CommandArg::OfInt(int32_t(reinterpret_cast<uintptr_t>(hwnd))), 4, hwnd},
      {CommandArg::OfPointer(nullptr, tags::kWindowUnit), 4, nullptr},
      {{0x52010001, 0, tags::kWindowUnit}, 4, hwnd},
      {{0x52010002, 0, tags::kWindowUnit}, 4, nullptr},  // not loaded
      {CommandArg::OfInt(int32_t(reinterpret_cast<uintptr_t>(hwnd))), 3, nullptr},
      {CommandArg::OfText("not a window"), 4, nullptr},
  };
  for (const Case& c : cases) {
    ModalState state{nullptr};
    {
      BoxWatcher watcher(kTitle, IDOK, &Inspect, &state);
      EXPECT_EQ(ShowBox(CommandArg::OfText("owner"), 0, kTitle, c.count, c.owner), 0);
      EXPECT_TRUE(watcher.found());
    }
    EXPECT_EQ(state.owner, c.expected) << std::hex << c.owner.tag << " " << c.count;
  }
  SetMessageBoxCallback(nullptr);
  g_liveWindow = nullptr;
  DestroyWindow(hwnd);
}

TEST(MessageBoxCommand, InvalidOwnerGivesZero) {
  // No box comes up at all, and the failure reads as OK.
  BoxWatcher watcher(kTitle, IDYES, nullptr, nullptr, 3000);
  EXPECT_EQ(ShowBox(CommandArg::OfText("x"), MB_YESNO, kTitle, 4, CommandArg::OfInt(0x7654320)), 0);
  watcher.Join();
  EXPECT_FALSE(watcher.found());
}

}  // namespace
}  // namespace kavrel
