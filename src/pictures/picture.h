// Pictures as templates hold them: whole picture files, recognised by their
// first bytes and decoded into pixel buffers (or, for icons and cursors, an
// icon handle). Everything here is platform-neutral; the GDI half lives in
// picture_win32.h and installs the icon hooks below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kavrel {

class ByteReader;

enum PictureKind : int32_t {
  kPictureNone = 0,
  kPictureJpeg = 1,
  kPictureBmp = 2,
  kPictureIco = 3,
  kPictureCur = 4,
  kPictureGif = 5,
  kPicturePcx8 = 6,
  kPicturePcx1 = 7,
  kPicturePng = 8,
};

// Pixel layouts by kind:
//  JPEG, BMP   packed B,G,R, no row padding, rows bottom-up (width*height*3)
//  ICO, CUR    no pixels; `icon` holds the image
//  GIF, PCX8   40-byte BITMAPINFOHEADER, 256 RGBQUADs, then 8-bit rows,
//              top-down, each padded to 4 bytes, from byte 1064
//  PCX1        1-bit rows, top-down, each padded to an even byte count
//  PNG         B,G,R,A, rows top-down (width*height*4)
struct Picture {
  int32_t kind;
  int32_t width;
  int32_t height;
  uintptr_t icon;  // an HICON on Windows, opaque here
  uint8_t* pixels;
  uint32_t pixelSize;
};

#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(Picture) == 24);
static_assert(offsetof(Picture, icon) == 12);
static_assert(offsetof(Picture, pixels) == 16);
static_assert(offsetof(Picture, pixelSize) == 20);
#endif

// Decoders refuse pictures above this many pixels before allocating.
inline constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 26;
// Offset of the rows in the GIF and 8-bit PCX layouts.
inline constexpr uint32_t kPaletteRowsOffset = 40 + 256 * 4;

// Reads the first 8 bytes and goes back to the start; 0 when fewer than 8
// bytes are there or nothing matches. The reader must be over memory.
PictureKind DetectPictureKind(ByteReader& stream);

// A new picture, or null for anything that is not a sound picture file.
// Nothing is reported on failure.
Picture* DecodePicture(const void* data, int32_t size);
// Null for an empty name or a file that cannot be opened or read.
Picture* DecodePictureFile(const char* fileName);

// Pixel storage a caller provides for DecodeJpegRows: B,G,R,0 a pixel, rows
// bottom-up.
class BgrxRowStorage {
 public:
  // Storage for a picture of this size with rows `stride` bytes apart (at
  // least width * 4), or null to refuse it.
  virtual uint8_t* Allocate(int32_t width, int32_t height, size_t& stride) = 0;

 protected:
  ~BgrxRowStorage() = default;
};
// Decodes a JPEG file straight into the caller's storage: the pixels of
// DecodePicture's packed rows, with no copy between. False for any other
// file and for one DecodePicture refuses; storage allocated by then stays
// the caller's to free.
// With a size to cover, a picture that will only be drawn shrunk to that
// size is decoded at the smallest of the library's reduced scales (an
// eighth of its size and up) that keeps it one and a half times as large:
// a fraction of the work and memory, and less left for the stretch.
struct CoverSize {
  int32_t width = 0;  // 0: the picture's own size
  int32_t height = 0;
};
// *eighths, when given, gets the scale decoded at.
bool DecodeJpegRows(std::span<const uint8_t> file, BgrxRowStorage& storage, CoverSize cover = {},
                    int32_t* eighths = nullptr);
// The scale, in eighths (1 to 8), that DecodeJpegRows decodes a picture of
// this size at to cover `cover`.
int32_t JpegEighthsToCover(int64_t width, int64_t height, CoverSize cover);
// Destroys the icon, frees the pixels and the object; ignores null.
void FreePicture(Picture* picture);

// Icons are OS objects: the Win32 layer installs these; without them ICO and
// CUR files decode to nothing.
struct PictureIconHooks {
  // Returns 0 when no icon can be made of `image` (one directory entry's
  // bytes, already checked to hold what its header describes).
  uintptr_t (*create)(std::span<const uint8_t> image, int32_t width, int32_t height,
                      uint16_t bitCount);
  void (*destroy)(uintptr_t icon);
};
void SetPictureIconHooks(const PictureIconHooks& hooks);

// The directory entry an ICO or CUR file is shown by.
struct IconEntryChoice {
  PictureKind kind = kPictureNone;  // ICO or CUR
  uint32_t index = 0;               // of the directory entry
  std::span<const uint8_t> image;   // the entry's bytes, inside the file
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitCount = 0;
  bool png = false;  // the entry is a PNG stream rather than a DIB
};
// The first entry 32 pixels wide with more than 15 colours, else the last;
// false when the header, the directory or the chosen image is unsound.
bool ChooseIconEntry(std::span<const uint8_t> file, IconEntryChoice& choice);

}  // namespace kavrel
