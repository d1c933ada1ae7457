// Corvane's C++ interface: text between UTF-16 (std::u16string) and the byte encodings, found by
// the names people type, with strict, skipping or replacing conversion and streaming decoders and
// encoders. It is a library of its own (corvane_cxx) beside the C interface of corvane.h, which
// keeps its Windows behaviour exactly: here "ISO-8859-5" is ISO 8859-5, "windows-1252" has its
// euro sign, UTF-8 out is always valid UTF-8, and a capacity never has to be guessed.
//
//   std::u16string text = corvane::decode(bytes, corvane::Encoding("SJIS"));
//   std::string utf8 = corvane::to_utf8(text);
//   std::string koi = corvane::convert(bytes, corvane::Encoding("CP932"),
//   corvane::Encoding("KOI8-R"),
//                                      {.on_error = corvane::OnError::strict});
//
// Every function is safe to call from any thread; a Decoder or Encoder is used by one thread at a
// time. Errors are exceptions of type corvane::Error.
#pragma once

#if !defined(__cplusplus) || \
    (__cplusplus < 202002L && (!defined(_MSVC_LANG) || _MSVC_LANG < 202002L))
#error "corvane.hpp needs C++20; C programs include corvane.h"
#endif

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

namespace standard {
struct EncodingRecord;
}

// What a conversion does with input it cannot convert: a malformed byte sequence when decoding,
// a character the encoding lacks (or a lone surrogate) when encoding.
enum class OnError : std::uint8_t {
  replace,  // U+FFFD when decoding; the encoding's '?' when encoding (U+FFFD in UTF-8/16/32)
  skip,     // leave it out
  strict,   // throw corvane::Error naming the offset
};

struct Options {
  OnError on_error = OnError::replace;
  // Decoding: a byte order mark at the start of the text is taken away, and one of UTF-8, UTF-16LE
  // or UTF-16BE (UTF-32LE or BE for the UTF-32 encodings) decides the encoding whatever was
  // named. Encoding: UTF-8, UTF-16 and UTF-32 text starts with one; the other encodings have none.
  // The encodings "UTF-16" and "UTF-32" always read and write one (big-endian without it).
  bool bom = false;
};

// What a conversion replaced or skipped.
struct Report {
  std::size_t replaced = 0;  // sequences replaced or skipped
  // Where the first was: bytes into the input when decoding (and for convert), UTF-16 units into
  // the input when encoding.
  std::optional<std::size_t> first;
};

class Error : public std::runtime_error {
 public:
  enum class Kind : std::uint8_t {
    unknown_encoding,  // a name or number no encoding has
    malformed,         // strict decoding met a byte sequence that is no character
    unmappable,        // strict encoding met a character the encoding lacks, or a lone surrogate
  };
  Error(Kind kind, const std::string& message, std::size_t offset = 0)
      : std::runtime_error(message), kind_(kind), offset_(offset) {}
  Kind kind() const noexcept { return kind_; }
  // As Report::first says (0 for unknown_encoding).
  std::size_t offset() const noexcept { return offset_; }

 private:
  Kind kind_;
  std::size_t offset_;
};

// An encoding, found by any of its names (IANA names and aliases, the names glibc's iconv and
// Windows use: "Shift_JIS", "SJIS", "CP932", "windows-1251", "ISO-8859-5", "UTF-16LE", ...),
// compared without regard to case or to anything but letters and digits, or by its Windows code
// page number. Small and cheap to copy.
class Encoding {
 public:
  // Throw Error (unknown_encoding) naming what was asked for.
  explicit Encoding(std::string_view name);
  explicit Encoding(std::uint32_t code_page);

  static std::optional<Encoding> find(std::string_view name) noexcept;
  static std::optional<Encoding> find(std::uint32_t code_page) noexcept;
  // Every encoding this library converts.
  static std::vector<Encoding> all();

  std::string_view name() const noexcept;         // the preferred name, e.g. "Shift_JIS"
  std::uint32_t code_page() const noexcept;       // 0 for "UTF-16" and "UTF-32", which have none
  std::vector<std::string_view> aliases() const;  // the other names it is found by

  friend bool operator==(const Encoding&, const Encoding&) noexcept = default;

  const standard::EncodingRecord& record() const noexcept { return *record_; }

 private:
  explicit Encoding(const standard::EncodingRecord* record) noexcept : record_(record) {}
  const standard::EncodingRecord* record_;
};

// Decodes a stream of bytes given in pieces of any size: a character cut off at the end of one
// piece is completed by the next, and the ISO-2022-JP shift state carries over, so the result is
// the same however the bytes are cut. Report::first and Error::offset count from the start of
// the stream. After an Error, reset() before using it again.
class Decoder {
 public:
  explicit Decoder(Encoding from, Options options = {}) noexcept;

  // The most units decode() may write for `bytes` more bytes, and finish() for 0.
  static constexpr std::size_t max_units(std::size_t bytes) noexcept { return bytes + 4; }

  // Decodes the next piece into out, which must hold max_units(bytes.size()) units (else
  // std::length_error); returns the units written.
  std::size_t decode(std::string_view bytes, std::span<char16_t> out);
  std::size_t decode(std::span<const std::uint8_t> bytes, std::span<char16_t> out);
  void decode(std::string_view bytes, std::u16string& out);  // appends
  // Ends the stream: a character cut off at the end is malformed.
  std::size_t finish(std::span<char16_t> out);
  void finish(std::u16string& out);

  const Report& report() const noexcept { return report_; }
  Encoding encoding() const noexcept { return from_; }
  // Bytes of the stream decoded so far; a character cut off at the end of the last piece, which
  // waits for the next, is not counted.
  std::uint64_t position() const noexcept { return consumed_; }
  void reset() noexcept;

 private:
  std::size_t Run(const std::uint8_t* bytes, std::size_t size, bool last, char16_t* out);
  bool TakeByteOrderMark(const std::uint8_t* bytes, std::size_t size, bool last, std::size_t& used);

  Encoding from_;
  Encoding reading_;  // from_, or what a byte order mark chose
  Options options_;
  Report report_;
  std::uint64_t consumed_ = 0;  // the stream offset of pending_[0], or of the next byte
  std::uint8_t pending_[8] = {};
  std::uint8_t pendingCount_ = 0;
  std::uint8_t mode_ = 0;  // the encoding's own state (ISO-2022-JP's shift, UTF-16's byte order)
  bool started_ = false;   // past the place where a byte order mark may stand
};

// Encodes UTF-16 text given in pieces of any size: a surrogate pair cut in two is joined, and
// ISO-2022-JP returns to ASCII in finish(). Offsets count UTF-16 units from the start of the
// stream. After an Error, reset() before using it again.
class Encoder {
 public:
  explicit Encoder(Encoding to, Options options = {}) noexcept;

  // The most bytes encode() may write for `units` more units, and finish() for 0.
  std::size_t max_bytes(std::size_t units) const noexcept;

  // Encodes the next piece into out, which must hold max_bytes(text.size()) bytes (else
  // std::length_error); returns the bytes written.
  std::size_t encode(std::u16string_view text, std::span<char> out);
  void encode(std::u16string_view text, std::string& out);  // appends
  // Ends the stream: a high surrogate left at the end is a lone surrogate; ISO-2022-JP goes back
  // to ASCII.
  std::size_t finish(std::span<char> out);
  void finish(std::string& out);

  const Report& report() const noexcept { return report_; }
  Encoding encoding() const noexcept { return to_; }
  // Units of the stream encoded so far; a high surrogate waiting for the next piece is not
  // counted.
  std::uint64_t position() const noexcept { return consumed_; }
  void reset() noexcept;

 private:
  std::size_t Run(const char16_t* text, std::size_t size, bool last, char* out);

  Encoding to_;
  Options options_;
  Report report_;
  std::uint64_t consumed_ = 0;  // the stream offset of pending_, or of the next unit
  char16_t pending_ = 0;        // a high surrogate waiting for the next piece
  bool hasPending_ = false;
  std::uint8_t mode_ = 0;  // ISO-2022-JP's shift state
  bool started_ = false;   // the byte order mark is written
};

// One call for a whole text; `report`, when given, receives what was replaced or skipped.
std::u16string decode(std::string_view bytes, Encoding from, Options options = {},
                      Report* report = nullptr);
std::u16string decode(std::span<const std::uint8_t> bytes, Encoding from, Options options = {},
                      Report* report = nullptr);
std::string encode(std::u16string_view text, Encoding to, Options options = {},
                   Report* report = nullptr);
// UTF-8, always valid: a surrogate pair is one four-byte sequence, a lone surrogate U+FFFD (or an
// Error when strict).
std::string to_utf8(std::u16string_view text, Options options = {}, Report* report = nullptr);
std::u16string from_utf8(std::string_view bytes, Options options = {}, Report* report = nullptr);
// From one byte encoding to another; offsets are bytes into `bytes`, for characters `to` lacks
// too. With Options::bom a mark is read as decoding reads it and written as encoding writes it.
std::string convert(std::string_view bytes, Encoding from, Encoding to, Options options = {},
                    Report* report = nullptr);

// What detect() makes of a text whose encoding nobody named.
struct Detection {
  Encoding encoding;  // the likeliest; US-ASCII for text of seven-bit bytes without escapes
  double confidence;  // 0 to 1
  bool sure;          // false: the text does not tell; `encoding` is then only the likeliest
};

// Guesses the encoding of `bytes` among those unlabelled text usually comes in: a byte order mark
// (UTF-8, UTF-16LE/BE, UTF-32LE/BE; decode with Options::bom to take it away), US-ASCII,
// ISO-2022-JP, UTF-8, UTF-16LE/BE without a mark, Shift_JIS, EUC-JP, GBK, Big5, EUC-KR,
// windows-1250 to windows-1257, KOI8-R, IBM866 and ISO-8859-5. Seven-bit text is US-ASCII, sure,
// unless it holds ISO-2022-JP's escapes; the other answers come from how well the text reads as
// each language the candidate encodings carry. A text cut anywhere is fine: a character cut off
// at the end does not rule an encoding out. Stops reading once the text has told (long texts
// are decided on their first kilobytes).
Detection detect(std::string_view bytes);
Detection detect(std::span<const std::uint8_t> bytes);

}  // namespace corvane
