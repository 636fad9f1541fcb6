// Kavrel as a program would be that scales only its fonts with the display:
// its units laid out at 96 dpi whatever the fonts are drawn at. The
// display-scale screenshots show that their bound breaks on such a window.
#define KAVREL_FONTS_ONLY_SCALED
#include "framework/display_scale_win32.cc"
