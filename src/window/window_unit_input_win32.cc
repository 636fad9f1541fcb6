// What the window unit does with input before dispatch: the order in which
// its units are offered a message, Tab and the arrow keys between units,
// Enter, Esc, F1 and mnemonics.
#include <algorithm>
#include <optional>
#include <string>

#include "framework/program_text_win32.h"
#include "templates/window_template.h"
#include "units/unit_interface_win32.h"
#include "window/key_codes.h"
#include "window/window_engine_win32.h"
#include "window/window_unit_win32.h"

namespace kavrel {

namespace {

WindowEngineWin32& Engine() { return WindowEngineWin32::Instance(); }

bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

}  // namespace

void WindowUnit::MoveFocus(bool forward) {
  WindowTemplate* window = Template();
  if (!window) return;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  struct Candidate {
    uint32_t order;
    uint32_t position;
    HWND hwnd;
  };
  std::vector<Candidate> candidates;
  for (uint32_t i = 1; i < units.count(); ++i) {
    Window* unit = engine.LiveObjectAt(units, i);
    if (!unit) continue;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h) || !(GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP)) continue;
    auto record = units.RecordAt(i);
    candidates.push_back({record ? record->tabOrder() : 0, i, h});
  }
  if (candidates.empty()) return;
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
  std::optional<uint32_t> current = engine.UnitPositionOf(units, GetFocus(), true);
  size_t at = forward ? 0 : candidates.size() - 1;
  if (current) {
    for (size_t k = 0; k < candidates.size(); ++k) {
      if (candidates[k].position != *current) continue;
      at = forward ? (k + 1) % candidates.size() : (k + candidates.size() - 1) % candidates.size();
      break;
    }
  }
  SetFocus(candidates[at].hwnd);
}

std::wstring WindowUnit::HelpFile() const {
  if (!props_.helpFile.empty()) return WideText(props_.helpFile);
  const RuntimeHost& host = Engine().host();
  std::wstring name = host.exeName();
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return host.exeDirSlash() + name + L".hlp";
}

void WindowUnit::ShowHelp() {
  const std::wstring file = HelpFile();
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (props_.helpContext != 0) {
    WinHelpW(hwnd(), file.c_str(), HELP_CONTEXT, props_.helpContext);
  } else {
    WinHelpW(hwnd(), file.c_str(), HELP_FINDER, 0);
  }
  helpStarted_ = true;
}

bool WindowUnit::HandleEnter(HWND focus, MSG* msg) {
  WindowTemplate* window = Template();
  if (!window) return false;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  auto takesEnter = [&](uint32_t position, bool focused) {
    Window* unit = engine.LiveObjectAt(units, position);
    auto record = units.RecordAt(position);
    if (!unit || !record) return false;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
    const UnitTypeDescriptor* type = engine.TypeOf(record->type());
    if (!type || !(type->stateFlags & typeflag::kDefaultButtonCapable)) return false;
    if (!focused) {
      auto isDefault = reinterpret_cast<IsDefaultButtonFn>(type->getInterface
                                                                ? type->getInterface(iface::kIsDefaultButton)
                                                                : nullptr);
      if (!isDefault || !isDefault(unit)) return false;
    }
    engine.RaiseEvent(windowId_, record->id(), 0);
    return true;
  };
  if (auto position = engine.UnitPositionOf(units, focus, true)) {
    const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;  // the unit takes it itself
    if (takesEnter(*position, true)) return true;
  }
  if (props_.enterMovesOn == 1) {
    MoveFocus(true);
    return true;
  }
  for (uint32_t i = 1; i < units.count(); ++i)
    if (takesEnter(i, false)) return true;
  return false;
}

bool WindowUnit::HandleMnemonic(char c) {
  WindowTemplate* window = Template();
  if (!window) return false;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  for (uint32_t i = 1; i < units.count(); ++i) {
    Window* unit = engine.LiveObjectAt(units, i);
    auto record = units.RecordAt(i);
    if (!unit || !record) continue;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    // Button-like types take mnemonics; pressing one acts as a click.
    const UnitTypeDescriptor* type = engine.TypeOf(record->type());
    if (!type || !(type->stateFlags & typeflag::kDefaultButtonCapable)) continue;
    if (!TextHasMnemonic(WindowProgramText(h).text, c)) continue;
    SetFocus(h);
    engine.RaiseEvent(windowId_, record->id(), 0);
    return true;
  }
  return false;
}

bool WindowUnit::HandleKeyDown(MSG* msg) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0 || (msg->message == WM_SYSKEYDOWN && (msg->lParam & (1 << 29)));
  const uint32_t code = KeyCode(uint32_t(msg->wParam), ctrl, shift, alt);
  const KeyAction action = ClassifyKey(code);
  if (action == KeyAction::kNone) return false;
  HWND focus = GetFocus();
  LRESULT wants = 0;
  if (focus && focus != hwnd())
    wants = SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  switch (action) {
    case KeyAction::kNextUnit:
    case KeyAction::kPreviousUnit:
      if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      MoveFocus(action == KeyAction::kNextUnit);
      return true;
    case KeyAction::kEnter:
      return HandleEnter(focus, msg);
    case KeyAction::kEscape:
      if (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      if (props_.escCloses != 1) return false;
      SendMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case KeyAction::kHelp:
      if (props_.f1Help != 1) return false;
      ShowHelp();
      return true;
    case KeyAction::kArrowBackward:
    case KeyAction::kArrowForward:
      // Option-unit groups would take the arrows first; no type of this
      // runtime forms them, so the focused unit gets the key.
      return false;
    case KeyAction::kMnemonic:
      return HandleMnemonic(MnemonicChar(code));
    default:
      return false;
  }
}

bool WindowUnit::PreTranslateInput(MSG* msg) {
  HWND hwnd = this->hwnd();
  if (IsKeyboardMessage(msg->message) && !IsWindowEnabled(hwnd)) return true;
  if (msg->message == WM_LBUTTONDOWN || msg->message == WM_NCLBUTTONDOWN) {
    // A press ends whatever mode another window holds the mouse for.
    HWND capture = GetCapture();
    if (capture && capture != msg->hwnd) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  }
  if (Window::PreTranslateChain(msg)) return true;
  if (IsKeyboardMessage(msg->message) && accelerator_ && TranslateAcceleratorW(hwnd, accelerator_, msg)) return true;

  WindowTemplate* window = Template();
  WindowEngineWin32& engine = Engine();
  if (window) {
    const UnitTable& units = window->units();
    for (uint32_t i = 1; i < units.count(); ++i) {
      auto record = units.RecordAt(i);
      if (!record) continue;
      const UnitTypeDescriptor* type = engine.TypeOf(record->type());
      if (!type || !(type->stateFlags & typeflag::kOffersMessages) || !type->getInterface) continue;
      auto offer = reinterpret_cast<OfferMessageFn>(type->getInterface(iface::kOfferMessage));
      Window* unit = engine.LiveObjectAt(units, i);
      if (offer && unit && offer(unit, msg)) return true;
    }
  }

  if (msg->message == WM_LBUTTONDOWN && props_.dragAnywhere == 1) {
    POINT pt = msg->pt;
    const LPARAM where = MAKELPARAM(short(pt.x), short(pt.y));
    if (msg->hwnd == hwnd) {
      PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, where);
      return false;
    }
    if (window) {
      const UnitTable& units = window->units();
      if (auto position = engine.UnitPositionOf(units, msg->hwnd, false)) {
        auto record = units.RecordAt(*position);
        const UnitTypeDescriptor* type = record ? engine.TypeOf(record->type()) : nullptr;
        if (type && (type->stateFlags & typeflag::kPassive)) {
          PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, where);
          return true;
        }
      }
    }
  }

  if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) return HandleKeyDown(msg);
  return false;
}

}  // namespace kavrel
