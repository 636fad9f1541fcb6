// What the unit tests share: a plain parent window (a framework Window, so
// notifications are handed back to the units), the runtime's library hook
// routed to a recorder, the type routines by interface number, and pixels
// read back from a unit's window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dib_pixels.h"
#include "framework/window_win32.h"
#include "units/unit_base_win32.h"
#include "units/unit_type.h"

namespace kavrel::unit_test {

inline constexpr WindowId kTestWindow = 0x52010001;

// A visible top-level window at the screen's top-left corner with a white
// client area that clips its children.
class TestParent : public Window {
 public:
  TestParent(int width = 420, int height = 320);
  ~TestParent() override;
  int ChildCount() const;
};

// Requests the units make, as the runtime would receive them.
struct HookLog {
  std::vector<SimpleEventRecord> events;              // 2008
  std::vector<std::pair<uint32_t, uint32_t>> gone;    // 2000
  std::optional<int32_t> handlerValue;                // the handler gives this back
  bool handlerRuns = true;                            // 2008 answers 1
  void Clear() { *this = HookLog{}; }
  int Count(int32_t event) const;
};
HookLog& Hooks();
// Installs the recorder as the runtime's library hook (and clears it).
void InstallHook();
void RemoveHook();

// The windows this thread creates while it lives, as requested.
class CreationRecorder {
 public:
  struct Created {
    std::string className;
    DWORD style;
    int width;
    int height;
  };
  CreationRecorder();
  ~CreationRecorder();
  std::vector<Created> windows;
};

// Processes every message waiting on this thread.
void Pump();

// The type's routines.
Window* CreateUnit(const UnitTypeDescriptor& type, const std::vector<uint8_t>& blob, HWND parent, int x, int y,
                   int width, int height, UnitId unit = 0x16010001, uint32_t style = WS_VISIBLE);
bool SetProperty(const UnitTypeDescriptor& type, Window* unit, int32_t own, PropertyValue value);
PropertyValue GetProperty(const UnitTypeDescriptor& type, Window* unit, int32_t own, bool* ok = nullptr);
std::string GetText(const UnitTypeDescriptor& type, Window* unit, int32_t own);
int32_t GetInt(const UnitTypeDescriptor& type, Window* unit, int32_t own);
std::vector<uint8_t> SaveBlob(const UnitTypeDescriptor& type, Window* unit, SIZE_T* globalSize = nullptr);

// What a window shows after it has painted, with messages pumped as these
// tests pump them.
class Capture : public test::Capture {
 public:
  explicit Capture(HWND hwnd) : test::Capture(hwnd, &Pump) {}
};
using test::BrushColour;
using test::Canvas;

// Replaces the button-face colour for one test and puts it back.
class ButtonFaceOverride {
 public:
  explicit ButtonFaceOverride(COLORREF colour);
  ~ButtonFaceOverride();

 private:
  COLORREF saved_;
};

// A converter for ConvertTexts that appends "!" to each text and makes the
// first letter of a face name 'B'; `user` points to the counts.
struct ConverterCalls {
  int texts = 0;
  int faces = 0;
};
void KAVREL_STDCALL CountingConverter(void* text, int32_t kind, uintptr_t user);
// Runs the type's ConvertTexts; the new blob, or nothing when it gave null.
std::optional<std::vector<uint8_t>> ConvertBlob(const UnitTypeDescriptor& type, const std::vector<uint8_t>& blob,
                                                ConverterCalls* calls);

// Colours whose every channel is light (or dark): text edges may be blended.
inline bool Light(COLORREF c) { return GetRValue(c) >= 0xC0 && GetGValue(c) >= 0xC0 && GetBValue(c) >= 0xC0; }
inline bool Dark(COLORREF c) { return GetRValue(c) <= 0x40 && GetGValue(c) <= 0x40 && GetBValue(c) <= 0x40; }

// A 24-bit BMP file of one colour.
std::vector<uint8_t> BmpFile(int width, int height, COLORREF colour);

// An icon file with one 32 x 32 image of 32 bits per pixel in one colour.
std::vector<uint8_t> IconFile(COLORREF colour);

// A 60-byte font description.
std::vector<uint8_t> FontBytes(int height, int weight, const char* face);

}  // namespace kavrel::unit_test
