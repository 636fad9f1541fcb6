// The program's descriptor: where its code base (the handler table), its
// constant texts and its TemplateStore lie.
#pragma once

#include "units/library_descriptor.h"

namespace kavrel {

const ProgramDescriptor& TheProgramDescriptor();

}  // namespace kavrel
