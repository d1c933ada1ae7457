#include "corvane.h"
#include "font/default_font.h"

const CV_LOGFONTA* CV_CALL CV_RealFont(void) {
  return corvane::DefaultFont();
}
