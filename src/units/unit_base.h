// What every unit type shares that needs no Win32: the event record units
// hand to the runtime, colour and choice rules, the edit-field selection
// arithmetic of the combo box, and the gradient fills of the label.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/runtime_services.h"
#include "units/unit_type.h"
#include "window/event_dispatch.h"

namespace kavrel {

// Requests a unit makes through LibraryCallback.
inline constexpr int32_t kUnitGoneRequest = 2000;
inline constexpr int32_t kRaiseEventRequest = 2008;

// Ids, index and at most five arguments; both result fields 0.
SimpleEventRecord MakeEventRecord(WindowId window, UnitId unit, int32_t index, std::span<const uint32_t> args);

// A colour-or-default value as painted: DefaultColour is the button face.
inline uint32_t ResolveDefaultColour(uint32_t colour, uint32_t buttonFace) {
  return colour == kDefaultColour ? buttonFace : colour;
}

// Choices above the last become the last, negatives 0.
int32_t ClampChoice(int32_t value, int32_t last);
int32_t ClampRange(int32_t value, int32_t low, int32_t high);

// Same shape as a Win32 RECT: right and bottom are exclusive.
struct PaintRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const PaintRect&) const = default;
};
PaintRect Intersect(const PaintRect& a, const PaintRect& b);

// ---- Combo box edit field ----

// A list index: at most the last entry, below -1 (and any index of an empty
// list) -1.
int32_t ClampListIndex(int32_t value, int32_t count);

struct EditSelection {
  int32_t start = 0;
  int32_t length = 0;
};
// The selection CB_GETEDITSEL reports (low word start, high word end); the
// control answers -1 when it has no edit field.
EditSelection SelectionFromEditSel(uint32_t answer);
inline bool HasEditField(uint32_t editSelAnswer) { return editSelAnswer != 0xFFFFFFFFu; }
// Setting the start: -1 means the end of the text with nothing selected.
EditSelection SelectionWithStart(int32_t value, int32_t textLength, EditSelection current);
// Setting the length: -1 means the whole text.
EditSelection SelectionWithLength(int32_t value, int32_t textLength, EditSelection current);
// The part of `text` a selection covers, clamped to the text.
std::string SelectedPart(std::string_view text, EditSelection selection);
// `text` with the selected part replaced; *caret is the position after the
// inserted text.
std::string ReplaceSelected(std::string_view text, EditSelection selection, std::string_view value,
                            int32_t* caret);

// ---- Gradients ----

// The colours a gradient uses, in order, DefaultColour skipped.
struct GradientStops {
  std::array<uint32_t, 3> colours{};
  int32_t count = 0;
};
GradientStops ChooseGradientColours(uint32_t colour1, uint32_t colour2, uint32_t colour3);

// Directions 1-8: the position of pixel (x, y) of a width x height area, and
// the span the stops spread over. Directions outside 1-8 give 0.
int32_t GradientPosition(int32_t direction, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t GradientSpan(int32_t direction, int32_t width, int32_t height);
// The COLORREF at a position.
uint32_t GradientColourAt(const GradientStops& stops, int32_t position, int32_t span);

// True when a fill can be made: two or more colours, direction 1-8 and a
// non-empty area.
bool CanFillGradient(int32_t direction, const GradientStops& stops, const PaintRect& area);

inline constexpr int32_t kGradientTile = 50;
// The tiles of at most 50 x 50 pixels, from the area's top-left corner, left
// to right and top to bottom, that meet `clip`.
std::vector<PaintRect> GradientTiles(const PaintRect& area, const PaintRect& clip);
// One tile's pixels, top-down rows of tile.Width() 32-bit values 0x00RRGGBB
// (the layout of a 32-bit DIB). Positions are those within `area`.
void FillGradientTile(int32_t direction, const GradientStops& stops, const PaintRect& area, const PaintRect& tile,
                      std::span<uint32_t> pixels);

// The four bands of a gradient frame of thickness `width` inside `r`: top and
// bottom across the whole width (direction 1), left and right (direction 2)
// clipped to trapezoids, so the corners are mitred. A side is at most half of
// the rectangle.
struct FrameBand {
  PaintRect rect;
  int32_t direction = 0;
  bool mitred = false;                          // clipped to `corners`
  std::array<std::array<int32_t, 2>, 4> corners{};  // polygon, (x, y)
};
std::array<FrameBand, 4> GradientFrameBands(const PaintRect& r, int32_t width);
// The rectangle inside the frame.
PaintRect InsideFrame(const PaintRect& r, int32_t width);

}  // namespace kavrel
