// What the window engine needs of the runtime that hosts it. The runtime
// implements this and hands itself to InstallWindowEngine; the engine and
// the window unit reach the runtime only through it and the library hook.
//
// Neutral header: the Win32 handle type is only named, never defined here.
#pragma once

#include <cstdint>
#include <string>

#include "commands/values.h"

struct HWND__;

namespace kavrel {

class WindowTable;

class RuntimeHost {
 public:
  virtual ~RuntimeHost() = default;

  // The window table start-up read from the template block.
  virtual WindowTable& windows() = 0;
  virtual bool EventsBlocked() const = 0;
  // Ends the modal loop of `window`.
  virtual void EndModal(WindowId window) = 0;
  // A top-level window of the runtime is gone.
  virtual void WindowDestroyed() = 0;
  // The invisible owner of top-level windows, and the show-mode word that
  // says whether windows use it.
  virtual HWND__* hiddenOwner() const = 0;
  virtual uint32_t showModeWord() const = 0;
  // The executable's name and its directory with a trailing backslash.
  virtual const std::wstring& exeName() const = 0;
  virtual const std::wstring& exeDirSlash() const = 0;
};

}  // namespace kavrel
