// The main window made the platform's own way: a dialog template in memory
// with the window's 21 units as standard controls (CreateDialogIndirectParamA),
// the stock GUI font on every control, the combo boxes' entries, two icons,
// and the background JPEG loaded with OleLoadPicture and drawn stretched by
// IPicture::Render on every erase. The LoadWindow bench builds it in its own
// process; the start-up bench starts a whole process that shows it (the twin).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace kavrel::bench {

struct ReferenceDialog {
  std::span<const uint8_t> background;  // the JPEG; none when empty
  HICON largeIcon = nullptr;
  HICON smallIcon = nullptr;
};

// The dialog template (DLGTEMPLATE and its items), in dialog units of the
// system font.
std::vector<WORD> ReferenceDialogTemplate();

// Creates the dialog, not yet shown; `dialog` must outlive the window.
HWND CreateReferenceDialog(const std::vector<WORD>& dialogTemplate, const ReferenceDialog& dialog);

}  // namespace kavrel::bench
