#include "pictures/picture.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "commands/runtime_heap.h"
#include "base/byte_reader.h"
#include "pictures/picture_decoders.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace kavrel {

namespace {

PictureIconHooks g_iconHooks{nullptr, nullptr};

}  // namespace

void SetPictureIconHooks(const PictureIconHooks& hooks) { g_iconHooks = hooks; }

namespace picture_detail {

Picture* NewPicture(PictureKind kind, int32_t width, int32_t height, uint64_t pixelSize,
                    bool zeroed) {
  if (pixelSize > uint64_t(INT32_MAX)) return nullptr;
  void* object = TryAllocate(int32_t(sizeof(Picture)));
  if (!object) return nullptr;
  uint8_t* pixels = nullptr;
  if (pixelSize > 0) {
    pixels = static_cast<uint8_t*>(TryAllocate(int32_t(pixelSize)));
    if (!pixels) {
      Free(object);
      return nullptr;
    }
    if (zeroed) std::memset(pixels, 0, size_t(pixelSize));
  }
  return new (object) Picture{kind, width, height, 0, pixels, uint32_t(pixelSize)};
}

void WritePaletteHeader(uint8_t* p, int32_t width, int32_t height, uint32_t imageSize) {
  std::memset(p, 0, 40);
  StoreU32(p, 40);
  StoreU32(p + 4, uint32_t(width));
  StoreU32(p + 8, uint32_t(-height));  // negative height: rows run top-down
  p[12] = 1;                           // planes
  p[14] = 8;                           // bits per pixel
  StoreU32(p + 20, imageSize);
  StoreU32(p + 32, 256);  // colours used
}

Picture* DecodeIcon(std::span<const uint8_t> data) {
  if (!g_iconHooks.create) return nullptr;
  IconEntryChoice choice;
  if (!ChooseIconEntry(data, choice)) return nullptr;
  Picture* picture = NewPicture(choice.kind, choice.width, choice.height, 0);
  if (!picture) return nullptr;
  picture->icon = g_iconHooks.create(choice.image, choice.width, choice.height, choice.bitCount);
  if (!picture->icon) {
    FreePicture(picture);
    return nullptr;
  }
  return picture;
}

}  // namespace picture_detail

PictureKind DetectPictureKind(ByteReader& stream) {
  if (!stream.Seek(0) || stream.remaining() < 8) return kPictureNone;
  uint8_t b[8];
  if (!stream.Read(b, 8)) return kPictureNone;
  stream.Seek(0);

  if (b[0] == 'B' && b[1] == 'M') return kPictureBmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return kPictureJpeg;
  if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return kPicturePng;
  if (LoadU16(b) == 0 && LoadU16(b + 4) > 0) {
    if (LoadU16(b + 2) == 1) return kPictureIco;
    if (LoadU16(b + 2) == 2) return kPictureCur;
  }
  if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') &&
      b[5] == 'a')
    return kPictureGif;
  if (b[0] == 0x0A) {
    if (b[1] <= 5 && b[2] == 1 && b[3] == 8) return kPicturePcx8;
    if (b[1] == 3 && b[2] == 1 && b[3] == 1) return kPicturePcx1;
  }
  return kPictureNone;
}

Picture* DecodePicture(const void* data, int32_t size) {
  if (!data || size <= 0) return nullptr;
  std::span<const uint8_t> bytes(static_cast<const uint8_t*>(data), size_t(size));
  ByteReader stream(bytes);
  using namespace picture_detail;
  switch (DetectPictureKind(stream)) {
    case kPictureJpeg: return DecodeJpeg(bytes);
    case kPictureBmp: return DecodeBmp(bytes);
    case kPictureIco:
    case kPictureCur: return DecodeIcon(bytes);
    case kPictureGif: return DecodeGif(bytes);
    case kPicturePcx8:
    case kPicturePcx1: return DecodePcx(bytes);
    case kPicturePng: return DecodePng(bytes);
    default: return nullptr;
  }
}

Picture* DecodePictureFile(const char* fileName) {
  if (!fileName || !*fileName) return nullptr;
#ifdef _WIN32
  std::FILE* f = _fsopen(fileName, "rb", _SH_DENYWR);
#else
  std::FILE* f = std::fopen(fileName, "rb");
#endif
  if (!f) return nullptr;
  std::vector<uint8_t> bytes;
  uint8_t chunk[16384];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    if (bytes.size() + got > size_t(INT32_MAX)) {
      std::fclose(f);
      return nullptr;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return nullptr;
  return DecodePicture(bytes.data(), int32_t(bytes.size()));
}

void FreePicture(Picture* picture) {
  if (!picture) return;
  if (picture->icon && g_iconHooks.destroy) g_iconHooks.destroy(picture->icon);
  Free(picture->pixels);
  Free(picture);
}

}  // namespace kavrel
