// Figures for the text routines on the paths the actions take: a ten-piece
// join, a comparison of two addresses, and value-to-text conversions.
#include <benchmark/benchmark.h>

#include "commands/runtime_heap.h"
#include "commands/text_ops.h"
#include "commands/to_text.h"

namespace kavrel {
namespace {

void BM_JoinTenPieces(benchmark::State& state) {
  const char* pieces[10] = {"cmd /c netsh interface ip set address ", "\"", "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3",
                            "\"", " static ", "192.168.2.10", " ", "255.255.255.0", " ", "192.168.2.1"};
  for (auto _ : state) {
    char* line = JoinTexts(10, pieces);
    benchmark::DoNotOptimize(line);
    Free(line);
  }
}
BENCHMARK(BM_JoinTenPieces);

void BM_CompareAddresses(benchmark::State& state) {
  const char* a = "222.222.222.222";
  const char* b = "222.222.222.223";
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(CompareText(a, b));
  }
}
BENCHMARK(BM_CompareAddresses);

void BM_ValueText(benchmark::State& state, CommandArg value) {
  char buffer[kValueTextSize];
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(ValueToText(value, buffer));
  }
}
CommandArg DateTime(double days) {
  CommandArg value = CommandArg::OfDouble(days);
  value.tag = tags::kDateTime;
  return value;
}

BENCHMARK_CAPTURE(BM_ValueText, integer, CommandArg::OfInt(-123456));
BENCHMARK_CAPTURE(BM_ValueText, float, CommandArg::OfFloat(123456.7f));
BENCHMARK_CAPTURE(BM_ValueText, double, CommandArg::OfDouble(0.1));
BENCHMARK_CAPTURE(BM_ValueText, date_time, DateTime(36526.354166666667));

void BM_ToTextQuotationMark(benchmark::State& state) {
  const CommandArg arg = CommandArg::OfText("\"");
  for (auto _ : state) {
    CommandResult r = CallCommand(ToText, 1, &arg);
    Free(reinterpret_cast<void*>(r.low));
  }
}
BENCHMARK(BM_ToTextQuotationMark);

}  // namespace
}  // namespace kavrel

BENCHMARK_MAIN();
