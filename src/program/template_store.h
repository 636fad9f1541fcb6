// The program's TemplateStore as the executable carries it: the build's
// generated block, embedded in the read-only data.
#pragma once

#include <cstdint>
#include <span>

namespace kavrel {

std::span<const uint8_t> EmbeddedTemplateStore();

}  // namespace kavrel
