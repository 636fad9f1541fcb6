#include "commands/library_interface.h"

namespace kavrel {

namespace {
LibraryCallbackFn g_hook = nullptr;
}  // namespace

void SetLibraryHook(LibraryCallbackFn hook) { g_hook = hook; }

intptr_t CallLibrary(int32_t code, intptr_t arg1, intptr_t arg2) { return g_hook ? g_hook(code, arg1, arg2) : 0; }

}  // namespace kavrel
