// Decoding the program's 1366 x 768 progressive background through
// DecodePicture, against libjpeg's own plain decode loop over the same bytes
// (one row buffer, the library's default RGB output). Prints both times and
// their ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "pictures/picture.h"

namespace {

// The build's generator writes the program's own background before any
// benchmark is built.
const std::vector<uint8_t>& Background() {
  static const std::vector<uint8_t> bytes = [] {
    std::string path = std::string(KAVREL_GENERATED_DIR) + "/background.jpg";
    std::vector<uint8_t> b;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      uint8_t chunk[65536];
      size_t n;
      while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) b.insert(b.end(), chunk, chunk + n);
      std::fclose(f);
      std::printf("picture: %s (%zu bytes)\n", path.c_str(), b.size());
    } else {
      std::fprintf(stderr, "picture: %s missing; build the generator first\n", path.c_str());
      std::exit(1);
    }
    return b;
  }();
  return bytes;
}

void BM_DecodePicture(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Background();
  for (auto _ : state) {
    kavrel::Picture* p = kavrel::DecodePicture(bytes.data(), int32_t(bytes.size()));
    if (!p) {
      state.SkipWithError("the background did not decode");
      break;
    }
    benchmark::DoNotOptimize(p->pixels[p->pixelSize - 1]);
    kavrel::FreePicture(p);
  }
}
BENCHMARK(BM_DecodePicture)->Unit(benchmark::kMillisecond);

void BM_LibjpegPlainLoop(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Background();
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(j_common_ptr(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * JDIMENSION(cinfo.output_components), 1);
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, row, 1);
    benchmark::DoNotOptimize(row[0][0]);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
  }
}
BENCHMARK(BM_LibjpegPlainLoop)->Unit(benchmark::kMillisecond);

// The plain loop, but keeping the picture: each row copied into a fresh
// whole-picture buffer, as any decoder that hands back pixels must. Tells the
// cost of the output apart from the decoder's own.
void BM_LibjpegPlainLoopKeepingRows(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Background();
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * size_t(cinfo.output_components);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(j_common_ptr(&cinfo), JPOOL_IMAGE, JDIMENSION(stride), 1);
    auto* image = static_cast<uint8_t*>(std::malloc(stride * cinfo.output_height));
    while (cinfo.output_scanline < cinfo.output_height) {
      uint8_t* out = image + stride * cinfo.output_scanline;
      jpeg_read_scanlines(&cinfo, row, 1);
      std::memcpy(out, row[0], stride);
    }
    benchmark::DoNotOptimize(image[stride]);
    std::free(image);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
  }
}
BENCHMARK(BM_LibjpegPlainLoopKeepingRows)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      real[run.benchmark_name()] = run.GetAdjustedRealTime();
      cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> real, cpu;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Background();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [](std::map<std::string, double>& t, const char* base) {
    double ours = t["BM_DecodePicture"], plain = t[base];
    return plain > 0 ? ours / plain : 0.0;
  };
  for (const char* base : {"BM_LibjpegPlainLoop", "BM_LibjpegPlainLoopKeepingRows"})
    std::printf("DecodePicture / %s: %.3f (real time), %.3f (CPU time)\n", base + 3, ratio(reporter.real, base),
                ratio(reporter.cpu, base));
  benchmark::Shutdown();
  return 0;
}
