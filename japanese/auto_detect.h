// Guessing which of the three Japanese encodings a byte string uses.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace corvane {

// One left-to-right scan that stops at the first byte that settles the question.
//   bytes      in   caller-owned, borrowed for this call; its terminator, if any, is not looked at
//   confident  out  1 when a deciding byte (ESC, or a pair only one encoding accepts) was found
//   returns         2022 (ISO-2022-JP, the default), 51932 (EUC-JP) or 932 (Shift_JIS)
std::uint32_t DetectJapaneseEncoding(ByteText bytes, std::uint32_t& confident);

}  // namespace corvane
