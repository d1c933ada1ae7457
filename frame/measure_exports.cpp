// CV_StrLength: the exported face of encoded length measurement.
#include "convert/measure.h"
#include "corvane.h"

// Takes the code page as given: 0, 3 and 2023 are not resolved and count bytes.
extern "C" CV_API int32_t CV_CALL CV_StrLength(uint32_t codePage, const uint8_t* bytes,
                                               int32_t length, int32_t* consumed) {
  return corvane::MeasureEncodedString(bytes, codePage, length, consumed);
}
