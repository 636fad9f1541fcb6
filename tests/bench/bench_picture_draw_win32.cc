// The cost of painting the program's background: one stretched draw of the
// 1366 x 768 picture to the window's 476 x 284 client area, under Wine.
// Prints the decode into a Picture and into the bitmap the window keeps, the
// time of the draw alone (from that bitmap), of a whole paint of a Picture
// (image made, drawn, freed), of the window's paint (stretched once, then
// copied) against one BitBlt of a bitmap of the same size, and a resize by
// the two rules a window could keep its picture by, mean and best over the
// runs.
//   bench_picture_draw_win32 [background.jpg]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>


#include "pictures/picture.h"
#include "pictures/picture_win32.h"
#include "pictures/stretched_picture_win32.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(frequency.QuadPart);
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  size_t n;
  out.clear();
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
  std::fclose(f);
  return !out.empty();
}

struct Figures {
  double total = 0, best = 1e9;
  int runs = 0;
  void Add(double t) {
    total += t;
    best = std::min(best, t);
    ++runs;
  }
  void Print(const char* what) const {
    std::printf("%-44s mean %8.3f ms  best %8.3f ms  (%d runs)\n", what, total / runs * 1e3, best * 1e3, runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<uint8_t> bytes;
  std::string generated = KAVREL_GENERATED_DIR "/background.jpg";
  if (argc > 1 && ReadFile(argv[1], bytes)) {
    std::printf("picture: %s\n", argv[1]);
  } else if (ReadFile(generated, bytes) || ReadFile("Z:" + generated, bytes)) {
    std::printf("picture: %s\n", generated.c_str());
  } else {
    std::printf("picture: %s missing; build the generator first\n", generated.c_str());
    return 1;
  }
  double t0 = Now();
  kavrel::Picture* picture = kavrel::DecodePicture(bytes.data(), int32_t(bytes.size()));
  double decoded = Now() - t0;
  if (!picture) {
    std::printf("the picture did not decode\n");
    return 1;
  }
  // The window's own path: straight into the bitmap it draws from.
  t0 = Now();
  kavrel::KeptPicture kept;
  const bool keptLoaded = kept.Load(bytes) == kavrel::KeptPicture::Loaded::kYes;
  const double keptDecoded = Now() - t0;
  if (!keptLoaded) {
    std::printf("the picture did not decode into a bitmap\n");
    return 1;
  }
  std::printf("%d x %d, %zu bytes, decoded in %.3f ms into a picture, %.3f ms into the window's bitmap\n",
              picture->width, picture->height, bytes.size(), decoded * 1e3, keptDecoded * 1e3);

  const int width = 476, height = 284;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, target);
  std::printf("display: %d bits per pixel\n", GetDeviceCaps(screen, BITSPIXEL));

  // Runs `step` at least 20 times and for up to 3 seconds.
  auto time = [](Figures& figures, auto step) {
    const double start = Now();
    while (figures.runs < 20 || (Now() - start < 3 && figures.runs < 2000)) {
      const double t = Now();
      step();
      GdiFlush();
      figures.Add(Now() - t);
    }
  };
  const RECT area{0, 0, width, height};
  Figures draw, paint, cached, blit;
  kavrel::PictureImage image;
  if (!kept.MakeImage(dc, RGB(255, 255, 255), image)) {
    std::printf("no image\n");
    return 1;
  }
  time(draw, [&] { kavrel::DrawPictureImage(image, 0, 0, width, height, int32_t(SRCCOPY)); });
  kavrel::FreePictureImage(image);
  time(paint, [&] { kavrel::DrawPicture(dc, picture, 0, 0, width, height, RGB(255, 255, 255)); });
  // What the window does: the stretched picture drawn once, then copied.
  kavrel::StretchedPicture stretched;
  stretched.Draw(dc, kept, area, RGB(255, 255, 255), false, nullptr);  // the first paint stretches
  time(cached, [&] { stretched.Draw(dc, kept, area, RGB(255, 255, 255), false, nullptr); });
  // The platform's floor for the same pixels: one BitBlt of a bitmap of the
  // same size.
  HDC source = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldSource = SelectObject(source, bitmap);
  time(blit, [&] { BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY); });
  SelectObject(source, oldSource);
  DeleteObject(bitmap);
  DeleteDC(source);

  // A resize between the client area and a smaller one, by the two rules a
  // window could keep its picture by: released once the stretched copy
  // holds it and decoded again at the new area's scale (what the window
  // does), or kept at a scale that covers one and a half times the area.
  Figures released, keptPixels;
  const RECT areas[2] = {{0, 0, 420, 250}, area};
  int turn = 0;
  kavrel::KeptPicture again;
  kavrel::StretchedPicture resized;
  time(released, [&] {
    const RECT& now = areas[turn++ % 2];
    again.Load(bytes, {now.right, now.bottom});
    resized.Draw(dc, again, now, RGB(255, 255, 255), false, nullptr);
    again.ReleasePixels();
  });
  kavrel::KeptPicture held;
  held.Load(bytes, {width, height});
  turn = 0;
  time(keptPixels, [&] { resized.Draw(dc, held, areas[turn++ % 2], RGB(255, 255, 255), false, nullptr); });
  kavrel::PictureImage heldImage;
  held.MakeImage(dc, 0, heldImage);
  const double heldKib = double(heldImage.width) * heldImage.height * 4 / 1024;
  kavrel::FreePictureImage(heldImage);

  draw.Print("stretched draw 1366x768 -> 476x284");
  paint.Print("paint of a Picture (make image, draw, free)");
  cached.Print("paint, stretched once and copied");
  blit.Print("BitBlt of a 476x284 bitmap");
  std::printf("%-44s %8.2f x (means)\n", "paint, stretched once and copied / BitBlt", cached.total / cached.runs /
                                                                                          (blit.total / blit.runs));
  released.Print("resize, decoded again at the new scale");
  keptPixels.Print("resize, pixels kept at 1.5x the area");
  std::printf("%-44s %8.2f x (means); kept pixels hold %.0f KiB for the window's life\n",
              "resize: decoded again / pixels kept", released.total / released.runs / (keptPixels.total / keptPixels.runs),
              heldKib);

  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  kavrel::FreePicture(picture);
  return 0;
}
