#include "picture_samples.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <utility>

#include <jpeglib.h>
#include <png.h>

namespace kavrel::samples {

void AppendU16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

void AppendU32(Bytes& b, uint32_t v) {
  AppendU16(b, v & 0xFFFF);
  AppendU16(b, v >> 16);
}

namespace {

void AppendInfoHeader(Bytes& b, int32_t width, int32_t height, uint16_t bitCount,
                      uint32_t compression, uint32_t imageSize, uint32_t colorsUsed) {
  AppendU32(b, 40);
  AppendU32(b, uint32_t(width));
  AppendU32(b, uint32_t(height));
  AppendU16(b, 1);
  AppendU16(b, bitCount);
  AppendU32(b, compression);
  AppendU32(b, imageSize);
  AppendU32(b, 2835);
  AppendU32(b, 2835);
  AppendU32(b, colorsUsed);
  AppendU32(b, 0);
}

void AppendQuads(Bytes& b, const std::vector<Rgb>& palette) {
  for (const Rgb& c : palette) {
    b.push_back(c.b);
    b.push_back(c.g);
    b.push_back(c.r);
    b.push_back(0);
  }
}

// Bottom-up DIB rows of `colour(x, y)` (y counted from the top), each padded to 4.
Bytes DibRows(int width, int height, uint16_t bitCount, const std::function<uint32_t(int, int)>& colour) {
  const size_t stride = (size_t(width) * bitCount + 31) / 32 * 4;
  Bytes rows(stride * size_t(height), 0);
  for (int row = 0; row < height; ++row) {
    int y = height - 1 - row;
    uint8_t* out = rows.data() + stride * size_t(row);
    for (int x = 0; x < width; ++x) {
      uint32_t v = colour(x, y);
      switch (bitCount) {
        case 1: out[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
        case 4: out[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: out[x] = uint8_t(v); break;
        case 16:
          out[x * 2] = uint8_t(v);
          out[x * 2 + 1] = uint8_t(v >> 8);
          break;
        case 24:
        case 32: {
          uint8_t* p = out + size_t(x) * (bitCount / 8);
          p[0] = uint8_t(v);
          p[1] = uint8_t(v >> 8);
          p[2] = uint8_t(v >> 16);
          if (bitCount == 32) p[3] = 0xFF;
          break;
        }
        default: throw std::invalid_argument("bit count");
      }
    }
  }
  return rows;
}

}  // namespace

Bytes MakeBmp(const BmpRecipe& recipe) {
  const int32_t w = recipe.width, h = recipe.height;
  Bytes rows = DibRows(w, h, recipe.bitCount, [&](int x, int y) {
    size_t i = size_t(y) * size_t(w) + size_t(x);
    return i < recipe.pixels.size() ? recipe.pixels[i] : 0u;
  });
  if (recipe.topDown) {
    // Same rows, stored the other way round.
    const size_t stride = rows.size() / size_t(h);
    Bytes flipped(rows.size());
    for (int32_t r = 0; r < h; ++r)
      std::memcpy(flipped.data() + stride * size_t(r), rows.data() + stride * size_t(h - 1 - r), stride);
    rows = std::move(flipped);
  }
  const uint32_t tableBytes = uint32_t(recipe.palette.size()) * 4;
  const uint32_t offset = recipe.dataOffset >= 0 ? uint32_t(recipe.dataOffset) : 54 + tableBytes;
  Bytes b{'B', 'M'};
  AppendU32(b, uint32_t(offset + rows.size()));
  AppendU32(b, 0);
  AppendU32(b, offset);
  AppendInfoHeader(b, w, recipe.topDown ? -h : h, recipe.bitCount, recipe.compression,
                   uint32_t(rows.size()), recipe.colorsUsed);
  AppendQuads(b, recipe.palette);
  if (b.size() < offset) b.resize(offset, 0xEE);
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

Bytes MakeJpeg(int width, int height, bool grey, const PixelFunction& pixel, int scans, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;  // small tables: small files

  std::vector<jpeg_scan_info> script;
  if (scans == 1) {
    jpeg_simple_progression(&cinfo);
  } else if (scans > 1) {
    // DC in 1 to 3 scans by successive approximation, then each component's
    // AC coefficients in k bands.
    if (grey || scans < 4 || scans > 192) throw std::invalid_argument("scan count");
    int dcScans = 1;
    while ((scans - dcScans) % 3 != 0) ++dcScans;
    const int bands = (scans - dcScans) / 3;
    if (bands < 1 || bands > 63) throw std::invalid_argument("scan count");
    for (int i = 0; i < dcScans; ++i) {
      jpeg_scan_info s{};
      s.comps_in_scan = 3;
      for (int c = 0; c < 3; ++c) s.component_index[c] = c;
      s.Ss = s.Se = 0;
      s.Ah = i == 0 ? 0 : dcScans - i;
      s.Al = dcScans - 1 - i;
      script.push_back(s);
    }
    for (int c = 0; c < 3; ++c) {
      for (int band = 0; band < bands; ++band) {
        jpeg_scan_info s{};
        s.comps_in_scan = 1;
        s.component_index[0] = c;
        s.Ss = 1 + band * 63 / bands;
        s.Se = (band + 1) * 63 / bands;
        script.push_back(s);
      }
    }
    cinfo.scan_info = script.data();
    cinfo.num_scans = int(script.size());
  }

  jpeg_start_compress(&cinfo, TRUE);
  const int channels = grey ? 1 : 3;
  std::vector<JSAMPLE> row(size_t(width) * channels);
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = int(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      Rgb c = pixel(x, y);
      if (grey) {
        row[size_t(x)] = c.r;
      } else {
        row[size_t(x) * 3] = c.r;
        row[size_t(x) * 3 + 1] = c.g;
        row[size_t(x) * 3 + 2] = c.b;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes result(out, out + outSize);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return result;
}

Bytes MakePng(int width, int height, const std::vector<uint8_t>& rgba) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr))
    throw std::runtime_error("png size");
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr))
    throw std::runtime_error("png write");
  out.resize(size);
  return out;
}

Bytes EncodeLzw(const std::vector<uint8_t>& indexes, int minCodeSize, bool clearWhenFull) {
  Bytes out;
  uint32_t acc = 0;
  int count = 0;
  int bits = minCodeSize + 1;
  auto emit = [&](uint32_t code) {
    acc |= code << count;
    count += bits;
    while (count >= 8) {
      out.push_back(uint8_t(acc));
      acc >>= 8;
      count -= 8;
    }
  };
  const uint32_t clear = 1u << minCodeSize;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = clear + 2;
  emit(clear);
  int64_t prefix = -1;
  for (uint8_t c : indexes) {
    if (prefix < 0) {
      prefix = c;
      continue;
    }
    auto found = table.find({uint32_t(prefix), c});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(uint32_t(prefix));
    if (next < 4096) {
      table[{uint32_t(prefix), c}] = next++;
      if (next > (1u << bits) && bits < 12) ++bits;
    } else if (clearWhenFull) {
      emit(clear);
      table.clear();
      next = clear + 2;
      bits = minCodeSize + 1;
    }
    prefix = c;
  }
  if (prefix >= 0) emit(uint32_t(prefix));
  emit(clear + 1);
  if (count > 0) out.push_back(uint8_t(acc));
  return out;
}

Bytes SubBlocks(const Bytes& data) {
  Bytes out;
  for (size_t at = 0; at < data.size(); at += 255) {
    size_t n = std::min<size_t>(255, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
  }
  out.push_back(0);
  return out;
}

Bytes MakeGif(const GifRecipe& recipe) {
  Bytes b{'G', 'I', 'F', '8', '9', 'a'};
  AppendU16(b, recipe.screenWidth);
  AppendU16(b, recipe.screenHeight);
  int sizeBits = 0;
  while ((2u << sizeBits) < recipe.palette.size() && sizeBits < 7) ++sizeBits;
  auto table = [&] {
    for (size_t i = 0; i < (2u << sizeBits); ++i) {
      Rgb c = i < recipe.palette.size() ? recipe.palette[i] : Rgb{};
      b.push_back(c.r);
      b.push_back(c.g);
      b.push_back(c.b);
    }
  };
  bool global = !recipe.palette.empty() && !recipe.localTable;
  b.push_back(uint8_t((global ? 0x80 : 0) | 0x70 | sizeBits));
  b.push_back(recipe.background);
  b.push_back(0);
  if (global) table();
  if (recipe.withExtensions) {
    Bytes gce{0x21, 0xF9, 4, 0x01, 10, 0, 0, 0};
    b.insert(b.end(), gce.begin(), gce.end());
    Bytes comment{0x21, 0xFE, 3, 'k', 'v', 'r', 2, 'l', '!', 0};
    b.insert(b.end(), comment.begin(), comment.end());
  }
  b.push_back(0x2C);
  AppendU16(b, recipe.left);
  AppendU16(b, recipe.top);
  AppendU16(b, recipe.width);
  AppendU16(b, recipe.height);
  bool local = !recipe.palette.empty() && recipe.localTable;
  b.push_back(uint8_t((local ? 0x80 | sizeBits : 0) | (recipe.interlaced ? 0x40 : 0)));
  if (local) table();

  std::vector<uint8_t> order;
  if (recipe.interlaced) {
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < recipe.height; y += kStep[pass])
        order.insert(order.end(), recipe.indexes.begin() + long(y) * recipe.width,
                     recipe.indexes.begin() + long(y + 1) * recipe.width);
  } else {
    order = recipe.indexes;
  }
  b.push_back(uint8_t(recipe.minCodeSize));
  Bytes blocks = SubBlocks(EncodeLzw(order, recipe.minCodeSize, recipe.clearWhenFull));
  b.insert(b.end(), blocks.begin(), blocks.end());
  b.push_back(0x3B);
  return b;
}

Bytes PcxRuns(const std::vector<uint8_t>& bytes) {
  Bytes out;
  for (size_t i = 0; i < bytes.size();) {
    size_t run = 1;
    while (i + run < bytes.size() && bytes[i + run] == bytes[i] && run < 63) ++run;
    if (run == 1 && bytes[i] < 0xC0) {
      out.push_back(bytes[i]);
    } else {
      out.push_back(uint8_t(0xC0 + run));
      out.push_back(bytes[i]);
    }
    i += run;
  }
  return out;
}

namespace {

Bytes PcxHeader(int width, int height, int version, int bits, int lineBytes) {
  Bytes h(128, 0);
  h[0] = 0x0A;
  h[1] = uint8_t(version);
  h[2] = 1;
  h[3] = uint8_t(bits);
  h[8] = uint8_t(width - 1);
  h[9] = uint8_t((width - 1) >> 8);
  h[10] = uint8_t(height - 1);
  h[11] = uint8_t((height - 1) >> 8);
  h[12] = h[14] = 72;
  h[65] = 1;
  h[66] = uint8_t(lineBytes);
  h[67] = uint8_t(lineBytes >> 8);
  h[68] = 1;
  return h;
}

}  // namespace

Bytes MakePcx8(int width, int height, const std::vector<uint8_t>& indexes,
               const std::vector<Rgb>& palette, int lineBytes) {
  if (lineBytes == 0) lineBytes = width + (width & 1);
  Bytes b = PcxHeader(width, height, 5, 8, lineBytes);
  std::vector<uint8_t> raw;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < lineBytes; ++x)
      raw.push_back(x < width ? indexes[size_t(y) * size_t(width) + size_t(x)] : 0);
  Bytes runs = PcxRuns(raw);
  b.insert(b.end(), runs.begin(), runs.end());
  if (!palette.empty()) {
    b.push_back(12);
    for (int i = 0; i < 256; ++i) {
      Rgb c = size_t(i) < palette.size() ? palette[size_t(i)] : Rgb{};
      b.push_back(c.r);
      b.push_back(c.g);
      b.push_back(c.b);
    }
  }
  return b;
}

Bytes MakePcx1(int width, int height, const std::vector<uint8_t>& rows, int lineBytes) {
  Bytes b = PcxHeader(width, height, 3, 1, lineBytes);
  Bytes runs = PcxRuns(rows);
  b.insert(b.end(), runs.begin(), runs.end());
  return b;
}

Bytes MakeIconDib(int width, int height, uint16_t bitCount,
                  const std::function<uint32_t(int, int)>& colour,
                  const std::function<bool(int, int)>& transparent) {
  Bytes b;
  const uint32_t colors = bitCount <= 8 ? 1u << bitCount : 0;
  Bytes xorRows = DibRows(width, height, bitCount, colour);
  Bytes andRows = DibRows(width, height, 1, [&](int x, int y) {
    return transparent && transparent(x, y) ? 1u : 0u;
  });
  AppendInfoHeader(b, width, height * 2, bitCount, 0, uint32_t(xorRows.size() + andRows.size()), 0);
  // A colour table of distinct colours, entry 0 black (what transparent
  // pixels hold): entry i is (i*17, i*53, i*91), each modulo 256.
  for (uint32_t i = 0; i < colors; ++i) {
    b.push_back(uint8_t(i * 91));
    b.push_back(uint8_t(i * 53));
    b.push_back(uint8_t(i * 17));
    b.push_back(0);
  }
  b.insert(b.end(), xorRows.begin(), xorRows.end());
  b.insert(b.end(), andRows.begin(), andRows.end());
  return b;
}

Bytes MakeIconFile(uint16_t type, const std::vector<IconEntry>& entries) {
  Bytes b;
  AppendU16(b, 0);
  AppendU16(b, type);
  AppendU16(b, uint32_t(entries.size()));
  uint32_t offset = 6 + 16 * uint32_t(entries.size());
  for (const IconEntry& e : entries) {
    b.push_back(e.widthByte);
    b.push_back(e.heightByte);
    b.push_back(e.colorCount);
    b.push_back(0);
    AppendU16(b, 1);
    AppendU16(b, e.bitCount);
    AppendU32(b, uint32_t(e.image.size()));
    AppendU32(b, offset);
    offset += uint32_t(e.image.size());
  }
  for (const IconEntry& e : entries) b.insert(b.end(), e.image.begin(), e.image.end());
  return b;
}

}  // namespace kavrel::samples
