// CV_StrLength: the exported face of encoded length measurement.
#include "convert/measure.h"
#include "convert/road.h"
#include "corvane.h"
#include "utf8/utf8_codec.h"

// Takes the code page as given: 0, 3 and 2023 are not resolved and count bytes. A null pointer is
// never read: the UTF-8 decoder answers it with -1, leaving the consumed count at -1, and every
// other code page measures it as an empty text.
extern "C" CV_API int32_t CV_CALL CV_StrLength(uint32_t codePage, const uint8_t* bytes,
                                               int32_t length, int32_t* consumed) {
  if (consumed != nullptr) *consumed = -1;
  const corvane::Road road = corvane::RoadFor(codePage);
  if (bytes == nullptr) {
    if (road.counting == corvane::CountRule::kUtf8) return corvane::Utf8NullSource();
    length = 0;
  }
  return corvane::MeasureEncodedString(road, corvane::SettleBytes(bytes, length), consumed);
}
