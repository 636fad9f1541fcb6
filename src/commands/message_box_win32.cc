#include "commands/message_box_win32.h"

#include <windows.h>

#include "commands/to_text.h"
#include "framework/program_text_win32.h"
#include "framework/window_win32.h"

namespace kavrel {

namespace {

LibraryCallbackFn g_callback = nullptr;

HWND OwnerOf(const CommandArg& owner) {
  if (owner.tag == tags::kWindowUnit) {
    if (!g_callback) return nullptr;
    auto* window = reinterpret_cast<Window*>(g_callback(request::kLiveObject, intptr_t(owner.Low32()), 0));
    return window ? window->hwnd() : nullptr;
  }
  if (owner.tag == tags::kInt) return reinterpret_cast<HWND>(uintptr_t(owner.Low32()));
  return nullptr;
}

}  // namespace

void SetMessageBoxCallback(LibraryCallbackFn callback) { g_callback = callback; }

uint32_t MessageBoxFlags(uint32_t flags) {
  // Or, not add: flags that are task-modal already stay as they are.
  return (flags & MB_SYSTEMMODAL) ? flags : (flags | MB_TASKMODAL);
}

int32_t MessageBoxResult(int result) {
  switch (result) {
    case IDCANCEL: return 1;
    case IDABORT: return 2;
    case IDRETRY: return 3;
    case IDIGNORE: return 4;
    case IDYES: return 5;
    case IDNO: return 6;
    default: return 0;
  }
}

void ShowMessageBox(CommandResult* result, int32_t count, const CommandArg* args) {
  result->low = 0;
  CommandArg none{};
  const CommandArg& message = count >= 1 ? args[0] : none;
  uint32_t flags = count >= 2 ? args[1].Low32() : 0;
  const CommandArg& title = count >= 3 ? args[2] : none;

  char buffer[kValueTextSize];
  const char* text = ValueToText(message, buffer);
  HWND owner = count >= 4 ? OwnerOf(args[3]) : nullptr;
  const char* caption = title.tag == tags::kNone ? kDefaultMessageBoxTitle : title.Text();
  if (!caption) caption = "";

  const int pressed = MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(), MessageBoxFlags(flags));
  result->low = uintptr_t(uint32_t(MessageBoxResult(pressed)));
}

}  // namespace kavrel
