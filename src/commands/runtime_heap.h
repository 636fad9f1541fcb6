// The runtime heap: every block handed to program code or units comes from
// here and goes back through Free. Pointers into the program's ConstantBlock
// are never freed. The count of outstanding blocks is kept so that tests can
// prove an action leaks nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavrel {

// Where blocks really come from: the process heap on Windows, malloc on the
// host. `resize` may move the block; every routine returns null on failure.
struct HeapBackend {
  void* (*alloc)(size_t size);
  void* (*resize)(void* block, size_t size);
  void (*release)(void* block);
};

void SetHeapBackend(const HeapBackend& backend);
void SetConstantBlock(const void* start, size_t size);
bool InConstantBlock(const void* p);

// Never returns null: running out is the fatal "分配 %d 字节内存失败!".
void* Allocate(int32_t size);
// Null allocates; a constant is copied into a new block; otherwise resized.
void* Reallocate(void* block, int32_t size);
// Ignores null and constants.
void Free(void* block);
// A plain allocation that may give null (LibraryCallback 2024 with a flag).
void* TryAllocate(int32_t size);

// Blocks allocated and not yet freed.
int64_t OutstandingBlocks();

// The text of the allocation failure for `size` bytes, as the report shows it.
void FormatAllocationFailure(char (&buffer)[100], int32_t size);

// The fatal report of a failed allocation. Where the runtime's own C++
// storage ran out (std::bad_alloc, which names no size) it is given 0.
[[noreturn]] void ReportOutOfMemory(int32_t size);

}  // namespace kavrel
