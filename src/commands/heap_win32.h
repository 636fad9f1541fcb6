// The process heap as the runtime heap's backend (blocks allocated with
// flags 0).
#pragma once

#include "commands/runtime_heap.h"

namespace kavrel {

const HeapBackend& ProcessHeapBackend();

}  // namespace kavrel
