// The two general conversion exports: each refuses what it cannot read, settles the source's
// length and hands everything else on unchanged.
#include "convert/multi_to_wide.h"
#include "convert/wide_to_multi.h"
#include "corvane.h"

// flags is accepted for the shape of the Windows function and never read: the system road
// always converts with flags 0.
extern "C" CV_API int32_t CV_CALL CV_MultiByteToWideChar(uint32_t codePage, uint32_t /*flags*/,
                                                         const uint8_t* src, int32_t srcLen,
                                                         uint16_t* dst, int32_t dstCap,
                                                         int32_t* consumed, uint32_t* shiftState) {
  if (src == nullptr) return 0;
  return corvane::MultiByteToWide(codePage, corvane::SettleBytes(src, srcLen), dst, dstCap,
                                  consumed, shiftState);
}

extern "C" CV_API int32_t CV_CALL CV_WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                                                         const uint16_t* src, int32_t srcLen,
                                                         uint8_t* dst, int32_t dstCap,
                                                         const char* defaultChar,
                                                         int32_t* defaultUsed) {
  if (src == nullptr) return 0;
  return corvane::WideToMultiByte(codePage, flags, corvane::SettleWide(src, srcLen), dst, dstCap,
                                  defaultChar, defaultUsed);
}
