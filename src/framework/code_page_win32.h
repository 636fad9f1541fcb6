// The system's ANSI code page, as the scans of texts and paths need it.
#pragma once

#include "base/code_page.h"

namespace kavrel {

// Lead bytes as the system reports them; trail bytes from the code page's
// table (any byte from 0x40 on but 0x7F for a double-byte code page that has
// no table).
CodePageBytes ActiveCodePageBytes();

}  // namespace kavrel
