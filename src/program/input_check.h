// What a user's text may hold before it goes into a command line that cmd
// reads. Texts are GBK: a lead byte 0x81-0xFE and the byte after it are one
// character, so a trailing byte that happens to equal '|' or '^' is no
// operator.
#pragma once

namespace kavrel {

// A text placed between quotation marks: no control character, no
// quotation mark (which would end the quoted part) and no percent sign
// (which cmd expands even inside quotation marks).
bool IsSafeQuotedText(const char* text);

// A text placed outside quotation marks: as above, and none of cmd's
// operators & | < > ^ either.
bool IsSafeBareText(const char* text);

}  // namespace kavrel
