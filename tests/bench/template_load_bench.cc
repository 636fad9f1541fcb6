// Loading the program's TemplateStore as start-up does (archive reader over
// the embedded block, validation, relocation through the handler table),
// against a plain copy of the same bytes. Prints both times and their ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "program/program_handlers.h"
#include "program/template_store.h"
#include "templates/template_store.h"

namespace {

using namespace kavrel;

void LoadBlock(benchmark::State& state) {
  const std::span<const uint8_t> block = EmbeddedTemplateStore();
  for (auto _ : state) {
    WindowTable windows;
    bool ok = LoadTemplateStore(block, kProgramHandlers, windows);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(windows.At(0));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}
BENCHMARK(LoadBlock);

void CopyBlock(benchmark::State& state) {
  const std::span<const uint8_t> block = EmbeddedTemplateStore();
  for (auto _ : state) {
    std::vector<uint8_t> copy(block.begin(), block.end());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}
BENCHMARK(CopyBlock);

// Keeps each run's time per iteration so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, std::pair<double, double>> times;  // real, CPU (ns)
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto load = reporter.times.find("LoadBlock"), copy = reporter.times.find("CopyBlock");
  if (load != reporter.times.end() && copy != reporter.times.end() && copy->second.first > 0 &&
      copy->second.second > 0) {
    auto [loadReal, loadCpu] = load->second;
    auto [copyReal, copyCpu] = copy->second;
    std::printf("template block of %zu bytes: load %.1f us (CPU %.1f), plain copy %.1f us (CPU %.1f), "
                "ratio %.2f (CPU %.2f)\n",
                EmbeddedTemplateStore().size(), loadReal / 1e3, loadCpu / 1e3, copyReal / 1e3, copyCpu / 1e3,
                loadReal / copyReal, loadCpu / copyCpu);
  }
  benchmark::Shutdown();
  return 0;
}
