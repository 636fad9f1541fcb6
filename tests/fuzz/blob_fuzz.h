// One property blob reader under the fuzzer: whatever loads must save and
// load again to the same record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

template <class Props>
int FuzzBlob(const uint8_t* data, size_t size) {
  Props p;
  if (!p.Load(std::span<const uint8_t>(data, size))) {
    if (!(p == Props{})) std::abort();  // a failed load keeps the defaults
    return 0;
  }
  std::vector<uint8_t> saved = p.Save();
  Props again;
  if (!again.Load(saved) || !(again == p) || again.Save() != saved) std::abort();
  return 0;
}
