#include "convert/utf8_road.h"

#include <algorithm>
#include <cstring>

#include "convert/temporary_buffer.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

// No UTF-8 form is longer than three bytes a unit: an encoding that leaves that much room unused
// was not stopped by the room.
constexpr std::size_t kLongestForm = 3;

}  // namespace

std::optional<std::size_t> DecodeUtf8Road(const ByteText& text, std::span<Utf16Unit> dst) {
  // Straight into dst: the decoder stores the text only while it ends before dst's last place,
  // then its terminator, so a result that fits is exactly the units a copy would give.
  const auto units = static_cast<std::size_t>(Utf8ToUcs2(text, dst, nullptr));
  if (units <= dst.size()) return units;
  // Cut: the copy ends wherever the capacity does, a surrogate pair split included, which the
  // decoder itself never does. The text never has more units than bytes, plus its terminator.
  const TemporaryBuffer<Utf16Unit> buffer = AllocateTemporary<Utf16Unit>(units);
  if (buffer == nullptr) return std::nullopt;
  Utf8ToUcs2(text, {buffer.get(), units}, nullptr);
  std::copy_n(buffer.get(), dst.size(), dst.data());
  return dst.size();
}

std::optional<std::size_t> EncodeUtf8Road(const WideText& text, std::span<std::uint8_t> dst) {
  if (dst.empty()) return static_cast<std::size_t>(Ucs2ToUtf8(text, {}));
  const auto straight = static_cast<std::size_t>(Ucs2ToUtf8(text, dst));
  if (straight + kLongestForm <= dst.size()) return straight;
  const auto bytes = static_cast<std::size_t>(Ucs2ToUtf8(text, {}));
  if (bytes <= straight) return straight;  // it all fitted after all
  const TemporaryBuffer<std::uint8_t> buffer = AllocateTemporary<std::uint8_t>(bytes);
  if (buffer == nullptr) return std::nullopt;
  Ucs2ToUtf8(text, {buffer.get(), bytes});
  const std::size_t copied = std::min(bytes, dst.size());
  std::memcpy(dst.data(), buffer.get(), copied);
  return copied;
}

}  // namespace corvane
