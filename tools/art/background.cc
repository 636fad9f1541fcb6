#include "art/background.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "art/raster.h"

namespace kavrel::art {

namespace {

// Deterministic pseudo-random numbers, so every build draws the same picture.
struct Random {
  uint32_t state;
  float Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(state & 0xFFFFFF) / float(0x1000000);
  }
};

struct Node {
  float x, y, r;
  bool hub;
};

// The window shows the picture stretched to its client area and covers all
// but the top 48 of 284 rows with its panel, so the network is drawn into
// the top band and fades out below it.
constexpr float kBand = 140;

float BandFade(float y) { return 1.f - SmoothStep(kBand * 0.7f, kBand * 2.6f, y); }

}  // namespace

std::vector<uint8_t> RenderBackground() {
  const int w = kBackgroundWidth, h = kBackgroundHeight;
  Canvas c(w, h);

  // Sky: deep navy on the left to teal on the right, darker downwards.
  const Colour navy = Rgb(0x0B2A52), teal = Rgb(0x0E6D8F), deep = Rgb(0x071A33);
  c.Paint(0, 0, w, h, [&](float x, float y, float& cover) {
    cover = 1;
    float t = x / w;
    Colour top = Mix(navy, teal, SmoothStep(0.f, 1.f, t * 0.9f + 0.1f * (1 - y / h)));
    return Mix(top, deep, SmoothStep(0.f, 1.f, y / h) * 0.65f);
  });

  // A soft light rising behind the right half of the band.
  c.Paint(0, 0, w, h, [&](float x, float y, float& cover) {
    float d = std::hypot((x - 1010.f) / 1.6f, (y - 30.f));
    cover = 0.38f * std::exp(-d * d / (2 * 230.f * 230.f));
    return Rgb(0x7FE3F0);
  });
  c.Paint(0, 0, w, h, [&](float x, float y, float& cover) {
    float d = std::hypot((x - 260.f) / 1.8f, (y - 10.f));
    cover = 0.18f * std::exp(-d * d / (2 * 160.f * 160.f));
    return Rgb(0x6FA8FF);
  });

  // A fine dot grid, like a map of addresses.
  for (int gy = 12; gy < h; gy += 22)
    for (int gx = 12; gx < w; gx += 22) {
      float fade = 0.10f + 0.10f * BandFade(float(gy));
      c.Paint(gx - 3, gy - 3, gx + 4, gy + 4, [&](float x, float y, float& cover) {
        cover = Coverage(CircleDistance(x, y, gx + 0.5f, gy + 0.5f, 1.3f)) * fade;
        return Rgb(0xBFE8FF);
      });
    }

  // Signal traces: slow waves running across the band.
  struct Wave {
    float base, amp, period, phase, width, alpha;
    uint32_t colour;
  };
  const Wave waves[] = {{70, 26, 520, 0.3f, 1.6f, 0.35f, 0x9EEBFF},
                        {92, 18, 380, 2.1f, 1.2f, 0.25f, 0x7FD0FF},
                        {52, 14, 690, 4.0f, 1.0f, 0.22f, 0xCFF6FF}};
  for (const Wave& wv : waves) {
    c.Paint(0, 0, w, int(kBand * 1.4f), [&](float x, float y, float& cover) {
      float yy = wv.base + wv.amp * std::sin(x / wv.period * 6.2831853f + wv.phase);
      // Distance to the curve, corrected for its slope.
      float slope = wv.amp * 6.2831853f / wv.period * std::cos(x / wv.period * 6.2831853f + wv.phase);
      float d = std::fabs(y - yy) / std::sqrt(1 + slope * slope) - wv.width;
      float glow = 0.25f * std::exp(-std::max(d, 0.f) / 5.f);
      cover = (Coverage(d) + glow) * wv.alpha;
      return Rgb(wv.colour);
    });
  }

  // The network: nodes scattered over the band, each linked to its nearest
  // neighbours; a few hubs with rings.
  Random rnd{0x4B617672};  // "Kavr"
  std::vector<Node> nodes;
  for (int i = 0; i < 44; ++i) {
    float x = 30 + rnd.Next() * (w - 60);
    float y = 12 + std::pow(rnd.Next(), 1.2f) * (kBand - 26);
    nodes.push_back({x, y, 3.2f + rnd.Next() * 2.6f, false});
  }
  const float hubs[][2] = {{182, 58}, {468, 40}, {742, 74}, {1030, 44}, {1240, 86}};
  for (auto& hb : hubs) nodes.push_back({hb[0], hb[1], 7.5f, true});

  std::vector<std::pair<int, int>> links;
  for (size_t i = 0; i < nodes.size(); ++i) {
    // The two nearest others, three for hubs.
    int want = nodes[i].hub ? 4 : 2;
    std::vector<std::pair<float, int>> near;
    for (size_t j = 0; j < nodes.size(); ++j)
      if (j != i) near.push_back({std::hypot(nodes[i].x - nodes[j].x, (nodes[i].y - nodes[j].y) * 1.6f), int(j)});
    std::sort(near.begin(), near.end());
    for (int k = 0; k < want && k < int(near.size()); ++k) {
      int a = int(i), b = near[k].second;
      if (a > b) std::swap(a, b);
      if (std::find(links.begin(), links.end(), std::make_pair(a, b)) == links.end()) links.push_back({a, b});
    }
  }
  for (auto [a, b] : links) {
    const Node &p = nodes[a], &q = nodes[b];
    float fade = std::min(BandFade(p.y), BandFade(q.y));
    int x0 = int(std::min(p.x, q.x)) - 8, x1 = int(std::max(p.x, q.x)) + 9;
    int y0 = int(std::min(p.y, q.y)) - 8, y1 = int(std::max(p.y, q.y)) + 9;
    float width = (p.hub || q.hub) ? 1.5f : 1.1f;
    c.Paint(x0, y0, x1, y1, [&](float x, float y, float& cover) {
      float d = SegmentDistance(x, y, p.x, p.y, q.x, q.y, width);
      cover = (Coverage(d) * 0.55f + 0.12f * std::exp(-std::max(d, 0.f) / 3.f)) * fade;
      return Rgb(0xA8E6FF);
    });
  }
  for (const Node& n : nodes) {
    float fade = BandFade(n.y);
    int reach = int(n.r * 5) + 2;
    c.Paint(int(n.x) - reach, int(n.y) - reach, int(n.x) + reach, int(n.y) + reach,
            [&](float x, float y, float& cover) {
              float d = CircleDistance(x, y, n.x, n.y, n.r);
              cover = 0.45f * std::exp(-std::max(d, 0.f) / (n.r * 0.9f)) * fade;
              return Rgb(0x5FD8FF);
            });
    c.Paint(int(n.x) - reach, int(n.y) - reach, int(n.x) + reach, int(n.y) + reach,
            [&](float x, float y, float& cover) {
              float d = CircleDistance(x, y, n.x, n.y, n.r);
              cover = Coverage(d) * fade;
              float core = Clamp01(1.f - std::hypot(x - n.x, y - n.y) / n.r);
              return Mix(Rgb(0x8EE4FF), Rgb(0xFFFFFF), core);
            });
    if (n.hub) {
      c.Paint(int(n.x) - reach, int(n.y) - reach, int(n.x) + reach, int(n.y) + reach,
              [&](float x, float y, float& cover) {
                float d = std::fabs(CircleDistance(x, y, n.x, n.y, n.r * 2.1f)) - 1.1f;
                cover = Coverage(d) * 0.7f * fade;
                return Rgb(0xCFF4FF);
              });
    }
  }

  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t r, g, b, a;
      c.Straight(x, y, r, g, b, a);
      uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = r;
      p[1] = g;
      p[2] = b;
    }
  return rgb;
}

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& rgb, int width, int height, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;
  jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(cinfo.next_scanline) * width * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(out, out + outSize);
  jpeg_destroy_compress(&cinfo);
  free(out);
  return bytes;
}

// Position just past SOI and the APP0 header that follows it.
size_t HeaderEnd(const std::vector<uint8_t>& jpeg) {
  size_t at = 2;
  if (jpeg.size() > at + 4 && jpeg[at] == 0xFF && jpeg[at + 1] == 0xE0) at += 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
  return at;
}

}  // namespace

std::vector<uint8_t> EncodeProgressiveJpeg(const std::vector<uint8_t>& rgb, int width, int height, size_t size) {
  for (int quality = 95; quality >= 40; --quality) {
    std::vector<uint8_t> jpeg = Encode(rgb, width, height, quality);
    if (jpeg.size() + 4 > size) continue;  // a comment segment takes at least 4 bytes
    // Comment segments of at most 65533 payload bytes each; the first says
    // what the picture is, the rest of the padding is zero.
    static const char kNote[] = "Kavrel background: network band";
    std::vector<uint8_t> padding;
    size_t left = size - jpeg.size();
    bool first = true;
    while (left > 0) {
      size_t seg = std::min<size_t>(left, 65537);
      if (left - seg > 0 && left - seg < 4) seg -= 4;  // leave room for one more segment
      size_t payload = seg - 4;
      padding.push_back(0xFF);
      padding.push_back(0xFE);
      padding.push_back(uint8_t((payload + 2) >> 8));
      padding.push_back(uint8_t(payload + 2));
      size_t start = padding.size();
      padding.resize(start + payload, 0);
      if (first) std::memcpy(&padding[start], kNote, std::min(payload, sizeof kNote - 1));
      first = false;
      left -= seg;
    }
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(HeaderEnd(jpeg)), padding.begin(), padding.end());
    return jpeg;
  }
  return {};
}

}  // namespace kavrel::art
