#include "commands/heap_win32.h"

#include <windows.h>

namespace kavrel {

namespace {

void* HeapAllocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void* HeapResize(void* block, size_t size) { return HeapReAlloc(GetProcessHeap(), 0, block, size); }
void HeapRelease(void* block) { HeapFree(GetProcessHeap(), 0, block); }

const HeapBackend kProcessHeap{HeapAllocate, HeapResize, HeapRelease};

}  // namespace

const HeapBackend& ProcessHeapBackend() { return kProcessHeap; }

}  // namespace kavrel
