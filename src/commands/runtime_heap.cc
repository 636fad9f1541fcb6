#include "commands/runtime_heap.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/runtime_error.h"

namespace kavrel {

namespace {

HeapBackend g_backend{std::malloc, std::realloc, std::free};
const char* g_constStart = nullptr;
size_t g_constSize = 0;
std::atomic<int64_t> g_outstanding{0};

// A zero-byte request still gets a block of its own, so that it can be freed
// like any other.
size_t BlockSize(int32_t size) { return size == 0 ? 1 : size_t(size); }

}  // namespace

void ReportOutOfMemory(int32_t size) {
  char text[100];
  FormatAllocationFailure(text, size);
  ReportFatal(text, 0);
}

void SetHeapBackend(const HeapBackend& backend) { g_backend = backend; }

void SetConstantBlock(const void* start, size_t size) {
  g_constStart = static_cast<const char*>(start);
  g_constSize = start ? size : 0;
}

bool InConstantBlock(const void* p) {
  auto* c = static_cast<const char*>(p);
  return c && g_constStart && c >= g_constStart && c < g_constStart + g_constSize;
}

void FormatAllocationFailure(char (&buffer)[100], int32_t size) {
  // "分配 %d 字节内存失败!"
  std::snprintf(buffer, sizeof buffer, "\xb7\xd6\xc5\xe4 %d \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!",
                int(size));
}

void* TryAllocate(int32_t size) {
  if (size < 0) return nullptr;
  void* p = g_backend.alloc(BlockSize(size));
  if (p) ++g_outstanding;
  return p;
}

void* Allocate(int32_t size) {
  void* p = TryAllocate(size);
  if (!p) ReportOutOfMemory(size);
  return p;
}

void* Reallocate(void* block, int32_t size) {
  if (!block) return Allocate(size);
  if (InConstantBlock(block)) {
    void* copy = Allocate(size);
    size_t left = size_t(g_constStart + g_constSize - static_cast<const char*>(block));
    size_t n = size < 0 ? 0 : size_t(size);
    std::memcpy(copy, block, n < left ? n : left);
    return copy;
  }
  if (size < 0) ReportOutOfMemory(size);
  void* p = g_backend.resize(block, BlockSize(size));
  if (!p) ReportOutOfMemory(size);
  return p;
}

void Free(void* block) {
  if (!block || InConstantBlock(block)) return;
  g_backend.release(block);
  --g_outstanding;
}

int64_t OutstandingBlocks() { return g_outstanding.load(); }

}  // namespace kavrel
