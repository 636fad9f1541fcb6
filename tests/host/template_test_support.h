// Shared by the template block tests: the generated block, a handler table of
// the tests' own for the design's six stored offsets, and a fatal-report
// recorder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands/runtime_error.h"
#include "program/main_window_design.h"
#include "templates/handler_table.h"

namespace kavrel::test {

inline std::vector<uint8_t> ReadGenerated(const std::string& name) {
  std::string path = std::string(KAVREL_GENERATED_DIR) + "/" + name;
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the host's file system under Wine
#endif
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The real block, read once.
inline const std::vector<uint8_t>& RealBlock() {
  static const std::vector<uint8_t> block = ReadGenerated("template_store.bin");
  return block;
}

template <int N>
HandlerResult Routine(int32_t, const uint64_t*) {
  return {true, N};
}

// In an order of their own, so a relocation that kept positions by accident
// would show.
inline HandlerTable TestHandlers() {
  using namespace main_window;
  static const HandlerEntry entries[] = {
      {kWindowLoadedOffset, Routine<1>},    {kUseDhcpOffset, Routine<2>},
      {kSetStaticAddressOffset, Routine<3>}, {kDecorLabelEventOffset, Routine<4>},
      {kAddAlternateDnsOffset, Routine<5>}, {kSetPreferredDnsOffset, Routine<6>},
  };
  return entries;
}

struct FatalReport {
  std::string message;
  int32_t code;
};

// Turns the fatal report into an exception the test can catch.
class FatalRecorder {
 public:
  FatalRecorder() : previous_(SetFatalHandler(&Throw)) {}
  ~FatalRecorder() { SetFatalHandler(previous_); }

 private:
  static void Throw(const char* message, int32_t code) { throw FatalReport{message ? message : "", code}; }
  FatalHandler previous_;
};

}  // namespace kavrel::test
