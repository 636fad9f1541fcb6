// What the window engine's tests share: the runtime brought up once in the
// test process with the engine registered, a type table of the tests' own
// (the real window type in slot 0 and small unit types beside it), handlers
// that record their calls, and windows written with the template writer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dib_pixels.h"
#include "framework/window_win32.h"
#include "templates/template_writer.h"
#include "templates/window_template.h"
#include "window/event_dispatch.h"
#include "window/window_engine_win32.h"
#include "window/window_props.h"

namespace kavrel::engine_test {

// Types of the test library (library 1).
inline constexpr UnitTypeId kBoxType = 0x00010002;    // raises events, may be a default button
inline constexpr UnitTypeId kPanelType = 0x00010004;  // a paged, passive container
inline constexpr UnitTypeId kBrokenType = 0x00010005;  // its create routine fails
inline constexpr UnitTypeId kUnknownType = 0x00010030;

// Events a test box raises on the engine's notifications.
inline constexpr int32_t kBoxLoadedEvent = 5;    // on 0x806F, while the load blocks events
inline constexpr int32_t kBoxSettledEvent = 6;   // on 0x8076, once events flow again

// The own properties of a test box (property number = own + 8).
struct BoxProps {
  std::string text;     // own 0
  int32_t number = 0;   // own 1; 1 makes it a default button
  std::vector<uint8_t> font;  // own 2

  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    ar.Version(1);
    ar.Text(p.text);
    ar.Int(p.number);
    ar.Bytes(p.font);
  }
};

// A test box runs its `whileHandling` inside this message of its own.
inline constexpr UINT kBoxRunMessage = WM_APP + 1;

// The test box as the engine made it.
class Box : public Window {
 public:
  WindowId window = 0;
  UnitId unit = 0;
  int32_t controlId = 0;
  BoxProps props;
  int buttonDowns = 0;
  std::function<void()> whileHandling;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() override;
};

// Brings the runtime up once (hidden owner, library hook, template store
// empty) and, for every test, registers the engine with the test types and
// the recording handlers.
void PrepareEngine();

// Handlers by number, bound with Bind; each records its call and gives back
// what SetResult said (nothing by default).
inline constexpr int kHandlerCount = 8;
StoredBinding Bind(int32_t event, int handler);
void SetResult(int handler, HandlerResult result);
struct HandlerCall {
  int handler;
  std::vector<uint64_t> args;
  WindowId sourceWindow;
  UnitId sourceUnit;
};
std::vector<HandlerCall>& Calls();
int CallCount(int handler);
void ResetHandlers();

// A window design with its own record; ids are new for every call.
WindowDesign NewWindow(const WindowProps& props, UnitRect rect, uint32_t flags = kUnitVisible);
// A unit of `type` on `parent` (0: the window) with a fresh id.
UnitDesign NewUnit(WindowDesign& window, UnitTypeId type, UnitRect rect, uint32_t flags = kUnitVisible | kUnitTabStop,
                   UnitId parent = 0, const BoxProps& props = {});
// Adds the window to the runtime's window table.
WindowTemplate& Install(const WindowDesign& window);
// Loads it as the start-up window would be (no owner, not modal).
bool Load(WindowTemplate& window);

WindowEngineWin32& Engine();
HWND WindowHandle(WindowId id);
Box* BoxOf(WindowId window, UnitId unit);
// Processes every message waiting, through the runtime's pump.
void Pump();
// The boxes created since the last ResetHandlers, in order: (unit, child id).
std::vector<std::pair<UnitId, int32_t>>& Creations();

// What a window shows after it has painted, with messages pumped through
// the runtime.
class Capture : public test::Capture {
 public:
  explicit Capture(HWND hwnd) : test::Capture(hwnd, &Pump) {}
};

// A 24-bit BMP file; `colour(x, y)` gives each pixel, y from the top.
std::vector<uint8_t> Bmp(int width, int height, COLORREF (*colour)(int x, int y));

}  // namespace kavrel::engine_test
