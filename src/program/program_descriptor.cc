#include "program/program_descriptor.h"

#include "program/constant_block.h"
#include "program/program_handlers.h"
#include "program/template_store.h"

// Both labels come from template_store_data.cc; the assembler names are given
// so that no target adds its own prefix.
extern "C" const uint8_t kavrel_template_store_begin[] asm("kavrel_template_store_begin");
extern "C" const uint8_t kavrel_template_store_end[] asm("kavrel_template_store_end");

namespace kavrel {

std::span<const uint8_t> EmbeddedTemplateStore() {
  return {kavrel_template_store_begin, size_t(kavrel_template_store_end - kavrel_template_store_begin)};
}

const ProgramDescriptor& TheProgramDescriptor() {
  static const ProgramDescriptor descriptor = {
      {3, 0, 0x10054},
      &kProgramHandlers,
      ConstantBlockStart(),
      uint32_t(ConstantBlockSize()),
      EmbeddedTemplateStore().data(),
      uint32_t(EmbeddedTemplateStore().size()),
      // The runtime's own unit library is added with the runtime; until then
      // the program lists none.
      0,
      nullptr,
      0,
      nullptr,
      nullptr,
  };
  return descriptor;
}

}  // namespace kavrel
