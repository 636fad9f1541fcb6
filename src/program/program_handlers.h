// The program's event handlers by the offsets that the window template
// stores for them, for the relocation of handler offsets at start-up.
#pragma once

#include "templates/handler_table.h"

namespace kavrel {

extern const HandlerTable kProgramHandlers;

}  // namespace kavrel
