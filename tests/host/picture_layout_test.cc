#include "pictures/picture_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

namespace kavrel {
namespace {

TEST(PictureLayoutTest, FittedPicturesAreCentredAndOnlyShrunk) {
  // Too wide: scaled by min(200/400, 200/100) = 0.5 and centred vertically.
  EXPECT_EQ(PlaceFitted({0, 0, 200, 200}, 400, 100), (PixelRect{0, 75, 200, 125}));
  // Too wide and too high.
  EXPECT_EQ(PlaceFitted({0, 0, 400, 400}, 800, 600), (PixelRect{0, 50, 400, 350}));
  // Too high only: the height decides.
  EXPECT_EQ(PlaceFitted({0, 0, 300, 100}, 100, 400), (PixelRect{137, 0, 162, 100}));
  // Fits: its own size, the spare space halved with integer division.
  EXPECT_EQ(PlaceFitted({10, 20, 111, 70}, 40, 30), (PixelRect{40, 30, 80, 60}));
  EXPECT_EQ(PlaceFitted({0, 0, 40, 30}, 40, 30), (PixelRect{0, 0, 40, 30}));
  // Never enlarged, wherever the area is.
  EXPECT_EQ(PlaceFitted({-50, -50, 950, 950}, 10, 10), (PixelRect{445, 445, 455, 455}));
  // Nothing to draw into.
  EXPECT_TRUE(PlaceFitted({5, 5, 5, 100}, 10, 10).Empty());
  EXPECT_TRUE(PlaceFitted({5, 5, 0, 0}, 10, 10).Empty());
}

TEST(PictureLayoutTest, FittedLimitingSideIsExact) {
  // width * (area / width) lands below the area in floating point for many
  // sizes; the limiting side must still fill the area exactly.
  for (int width = 2; width < 400; ++width) {
    for (int area = 1; area < width; area += 7) {
      PixelRect r = PlaceFitted({0, 0, area, 10000}, width, 1);
      ASSERT_EQ(r.Width(), area) << width << " into " << area;
      r = PlaceFitted({0, 0, 10000, area}, 1, width);
      ASSERT_EQ(r.Height(), area) << width << " into " << area;
    }
  }
  // The other side is the truncated product: 1366 x 768 into 476 x 284.
  EXPECT_EQ(PlaceFitted({0, 0, 476, 284}, 1366, 768), (PixelRect{0, 8, 476, 275}));
}

TEST(PictureLayoutTest, NaturalSizeAtTheTopLeft) {
  EXPECT_EQ(PlaceNatural({7, 9, 20, 20}, 100, 50), (PixelRect{7, 9, 107, 59}));
}

// Every copy by the plain rule: columns while the left edge is inside the
// target, rows likewise, keeping those that overlap the clip.
std::set<std::pair<int, int>> TilesByRule(const PixelRect& target, const PixelRect& clip, int w, int h) {
  std::set<std::pair<int, int>> tiles;
  if (clip.Empty()) return tiles;  // an empty clip meets nothing
  for (int row = 0; target.top + row * h < target.bottom; ++row) {
    for (int column = 0; target.left + column * w < target.right; ++column) {
      int x = target.left + column * w, y = target.top + row * h;
      bool overlaps = x < clip.right && x + w > clip.left && y < clip.bottom && y + h > clip.top;
      if (overlaps) tiles.insert({column, row});
    }
  }
  return tiles;
}

std::set<std::pair<int, int>> TilesByRange(const PixelRect& target, const PixelRect& clip, int w, int h) {
  std::set<std::pair<int, int>> tiles;
  TileRange range = TilesMeetingClip(target, clip, w, h);
  for (int row = range.firstRow; row < range.endRow; ++row)
    for (int column = range.firstColumn; column < range.endColumn; ++column) {
      PixelRect at = TileAt(target, w, h, column, row);
      EXPECT_EQ(at, (PixelRect{target.left + column * w, target.top + row * h,
                                 target.left + (column + 1) * w, target.top + (row + 1) * h}));
      tiles.insert({column, row});
    }
  return tiles;
}

TEST(PictureLayoutTest, TilingTouchesOnlyTilesThatMeetTheClip) {
  // 30 x 30 copies over 100 x 100: four columns (0, 30, 60, 90; the last
  // runs past the target). A clip from (35, 35) to (61, 40) meets columns 1
  // and 2 of row 1 only.
  TileRange r = TilesMeetingClip({0, 0, 100, 100}, {35, 35, 61, 40}, 30, 30);
  EXPECT_EQ(r.firstColumn, 1);
  EXPECT_EQ(r.endColumn, 3);
  EXPECT_EQ(r.firstRow, 1);
  EXPECT_EQ(r.endRow, 2);
  // A clip edge on a tile edge does not touch the neighbour.
  r = TilesMeetingClip({0, 0, 100, 100}, {30, 0, 60, 30}, 30, 30);
  EXPECT_EQ(r.firstColumn, 1);
  EXPECT_EQ(r.endColumn, 2);
  // The last column runs past the target and still meets a clip beyond it.
  EXPECT_EQ(TilesMeetingClip({0, 0, 100, 100}, {100, 0, 200, 50}, 30, 30).firstColumn, 3);
  EXPECT_TRUE(TilesMeetingClip({0, 0, 100, 100}, {120, 0, 200, 50}, 30, 30).Empty());
  EXPECT_TRUE(TilesMeetingClip({0, 0, 100, 100}, {10, 10, 10, 50}, 30, 30).Empty());

  // Against the plain rule, on targets and clips anywhere.
  std::mt19937 random(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int i = 0; i < 3000; ++i) {
    PixelRect target{pick(-60, 60), pick(-60, 60), 0, 0};
    target.right = target.left + pick(-5, 160);
    target.bottom = target.top + pick(-5, 160);
    PixelRect clip{pick(-100, 200), pick(-100, 200), 0, 0};
    clip.right = clip.left + pick(-5, 120);
    clip.bottom = clip.top + pick(-5, 120);
    int w = pick(3, 40), h = pick(3, 40);
    ASSERT_EQ(TilesByRange(target, clip, w, h), TilesByRule(target, clip, w, h))
        << "target " << target.left << "," << target.top << "," << target.right << "," << target.bottom
        << " clip " << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom << " tile " << w
        << "x" << h;
  }
}

TEST(PictureLayoutTest, TilingFarFromTheOriginDoesNotOverflow) {
  TileRange r = TilesMeetingClip({INT32_MIN + 10, 0, INT32_MAX - 10, 10}, {0, 0, 1, 1}, 7, 7);
  ASSERT_FALSE(r.Empty());
  EXPECT_EQ(r.endColumn - r.firstColumn, 1);
  PixelRect at = TileAt({INT32_MIN + 10, 0, INT32_MAX - 10, 10}, 7, 7, r.firstColumn, 0);
  EXPECT_LE(at.left, 0);
  EXPECT_GT(at.right, 0);
}

}  // namespace
}  // namespace kavrel
