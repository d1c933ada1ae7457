// The one-call conversions: a decoder or encoder over the whole text, its result sized by the
// most it can write and cut to what it wrote.
#include "cxx/codec.h"

namespace corvane {
namespace {

std::u16string DecodeAll(const std::uint8_t* bytes, std::size_t size, Encoding from,
                         Options options, Report* report) {
  Decoder decoder(from, options);
  std::u16string text(Decoder::max_units(size) + Decoder::max_units(0), u'\0');
  std::size_t written = decoder.decode(std::span(bytes, size), std::span<char16_t>(text));
  written += decoder.finish(std::span(text).subspan(written));
  text.resize(written);
  if (report != nullptr) *report = decoder.report();
  return text;
}

// Where the character that decoded to unit `unit` of `bytes` starts: the bytes are decoded again,
// one at a time, until that unit comes out. Only a fault's offset asks, so the cost is no matter.
std::size_t ByteOffsetOfUnit(std::string_view bytes, Encoding from, Options options,
                             std::size_t unit) {
  // Units as the first decoding counted them: strict decoding that got this far had no faults.
  if (options.on_error == OnError::strict) options.on_error = OnError::replace;
  Decoder decoder(from, options);
  char16_t out[Decoder::max_units(1)];
  std::size_t units = 0;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const std::uint64_t start = decoder.position();
    units += decoder.decode(bytes.substr(k, 1), out);
    if (units > unit) return static_cast<std::size_t>(start);
  }
  return bytes.size();
}

}  // namespace

std::u16string decode(std::span<const std::uint8_t> bytes, Encoding from, Options options,
                      Report* report) {
  return DecodeAll(bytes.data(), bytes.size(), from, options, report);
}

std::u16string decode(std::string_view bytes, Encoding from, Options options, Report* report) {
  return DecodeAll(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), from, options,
                   report);
}

std::string encode(std::u16string_view text, Encoding to, Options options, Report* report) {
  Encoder encoder(to, options);
  std::string bytes(encoder.max_bytes(text.size()) + encoder.max_bytes(0), '\0');
  std::size_t written = encoder.encode(text, std::span<char>(bytes));
  written += encoder.finish(std::span(bytes).subspan(written));
  bytes.resize(written);
  if (report != nullptr) *report = encoder.report();
  return bytes;
}

std::string to_utf8(std::u16string_view text, Options options, Report* report) {
  static const Encoding kUtf8("UTF-8");
  return encode(text, kUtf8, options, report);
}

std::u16string from_utf8(std::string_view bytes, Options options, Report* report) {
  static const Encoding kUtf8("UTF-8");
  return decode(bytes, kUtf8, options, report);
}

std::string convert(std::string_view bytes, Encoding from, Encoding to, Options options,
                    Report* report) {
  Report decoded;
  const std::u16string text = decode(bytes, from, options, &decoded);
  Report encoded;
  std::string out;
  try {
    out = encode(text, to, options, &encoded);
  } catch (const Error& e) {
    const std::size_t at = ByteOffsetOfUnit(bytes, from, options, e.offset());
    throw Error(e.kind(),
                std::string(e.what()).substr(0, std::string(e.what()).find(" at unit")) +
                    " at byte " + std::to_string(at) + " has no form in " + std::string(to.name()),
                at);
  }
  if (report != nullptr) {
    report->replaced = decoded.replaced + encoded.replaced;
    report->first = decoded.first;
    if (encoded.first) {
      const std::size_t at = ByteOffsetOfUnit(bytes, from, options, *encoded.first);
      if (!report->first || at < *report->first) report->first = at;
    }
  }
  return out;
}

}  // namespace corvane
