// CV_JapaneseAutoDetect: the exported face of the Japanese encoding detector.
#include "corvane.h"
#include "japanese/auto_detect.h"

extern "C" CV_API uint32_t CV_CALL CV_JapaneseAutoDetect(const uint8_t* bytes, int32_t length,
                                                         uint32_t* confident) {
  std::uint32_t flag = 0;
  // A null text is treated as empty rather than read; a null flag pointer just drops the flag.
  const std::uint32_t guess =
      bytes == nullptr ? 2022u
                       : corvane::DetectJapaneseEncoding(corvane::SettleBytes(bytes, length), flag);
  if (confident != nullptr) *confident = flag;
  return guess;
}
