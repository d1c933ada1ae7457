/* The public header must stay plain C: this file is compiled as C99 by every build. */
#include "corvane.h"

int corvane_public_header_is_c(void) {
  CV_LOGFONTA font;
  font.lfHeight = -10;
  return (int)sizeof font + (int)CV_GetCharSet(932) + font.lfHeight;
}
