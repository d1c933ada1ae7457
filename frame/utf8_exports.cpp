// CV_UTF8ToWideChar and CV_WideCharToUTF8: the exported faces of the library's own UTF-8 codec.
#include <span>

#include "corvane.h"
#include "utf8/utf8_codec.h"

// A null or unsized destination only counts; a negative size stores nothing but still counts.
extern "C" CV_API int32_t CV_CALL CV_UTF8ToWideChar(const uint8_t* src, int32_t srcLen,
                                                    uint16_t* dst, int32_t dstCap) {
  if (src == nullptr) return corvane::Utf8NullSource();
  const std::size_t room = dst != nullptr && dstCap > 0 ? static_cast<std::size_t>(dstCap) : 0;
  return corvane::Utf8ToUcs2(corvane::SettleBytes(src, srcLen), std::span(dst, room), nullptr);
}

// The encoder has no null source to report and a null destination would be written to, so both
// are refused here, where the caller's arguments first arrive: 0, nothing converted; so is a
// negative capacity. A capacity of 0 only counts.
extern "C" CV_API int32_t CV_CALL CV_WideCharToUTF8(const uint16_t* src, int32_t srcLen,
                                                    uint8_t* dst, int32_t dstCap) {
  if (src == nullptr || (dst == nullptr && dstCap != 0) || dstCap < 0) return 0;
  return corvane::Ucs2ToUtf8(corvane::SettleWide(src, srcLen),
                             std::span(dst, static_cast<std::size_t>(dstCap)));
}
