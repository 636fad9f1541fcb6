// What a user's text may hold before it goes into a command line that cmd
// reads. Texts are bytes in the program's code page, 936: a lead byte and the
// trail byte after it are one character, so a trail byte that happens to
// equal '|' or '^' is no operator. A lead byte without a valid trail byte
// after it is refused: how the system would convert the broken pair, and
// whether cmd would then see the byte after it on its own, is not ours to
// guess.
#pragma once

#include "base/code_page.h"

namespace kavrel {

// A text placed between quotation marks: no control character, no
// quotation mark (which would end the quoted part), no percent sign (which
// cmd expands even inside quotation marks), and no backslash at its end
// (which netsh would read with the closing mark as a mark of the text).
bool IsSafeQuotedText(const char* text, const CodePageBytes& codePage);

// A text placed outside quotation marks: as above, and none of cmd's
// operators & | < > ^ either.
bool IsSafeBareText(const char* text, const CodePageBytes& codePage);

}  // namespace kavrel
