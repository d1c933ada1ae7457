// Uses the installed C++ interface the way a program outside the project would: one-shot
// decoding and UTF-8, an encoding found by name, strict conversion, and a streaming decoder fed
// one byte at a time. Prints what it got, then "ok", or exits 1 if anything was wrong.
#include <corvane.hpp>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

int failures = 0;

void Check(bool good, const char* what, const std::string& got) {
  std::printf("%s: %s%s\n", what, got.c_str(), good ? "" : "  <- wrong");
  if (!good) ++failures;
}

// A strict conversion that must stop with the given kind at the given offset.
template <typename Call>
void ExpectError(const char* what, Call call, corvane::Error::Kind kind, std::size_t offset) {
  try {
    call();
    Check(false, what, "no error");
  } catch (const corvane::Error& e) {
    Check(e.kind() == kind && e.offset() == offset, what,
          "error at " + std::to_string(e.offset()) + ": " + e.what());
  }
}

}  // namespace

int main() {
  const std::u16string nihongo = u"日本語A";
  const std::string nihongo_utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\x41";

  // Shift_JIS through UTF-16 to UTF-8, by one of the names people type.
  const std::string sjis = "\x93\xFA\x96\x7B\x8C\xEA\x41";
  std::u16string text = corvane::decode(sjis, corvane::Encoding("SJIS"));
  Check(text == nihongo, "Shift_JIS", corvane::to_utf8(text));
  // A surrogate pair is one four-byte sequence.
  std::string utf8 = corvane::to_utf8(text + u"\U0001F600");
  Check(utf8 == nihongo_utf8 + "\xF0\x9F\x98\x80", "to_utf8", utf8);

  // ISO 8859-5 as the standard has it, both ways.
  corvane::Encoding cyrillic("ISO-8859-5");
  const std::string privet = "\xBF\xE0\xD8\xD2\xD5\xE2";
  std::u16string russian = corvane::decode(privet, cyrillic);
  Check(cyrillic.name() == "ISO-8859-5" && russian == u"Привет" &&
            corvane::encode(russian, cyrillic) == privet,
        "ISO-8859-5", corvane::to_utf8(russian));

  // Strict: offsets in bytes of the input, for bytes that are no character and for characters
  // the target lacks.
  corvane::Options strict{.on_error = corvane::OnError::strict};
  ExpectError(
      "strict Shift_JIS to ISO-8859-5",
      [&] { corvane::convert("A" + sjis, corvane::Encoding("Shift_JIS"), cyrillic, strict); },
      corvane::Error::Kind::unmappable, 1);
  ExpectError(
      "strict UTF-8", [&] { corvane::from_utf8("ab\xFF", strict); },
      corvane::Error::Kind::malformed, 2);

  // ISO-2022-JP one byte at a time: the escape sequences and the two-byte characters are cut
  // apart, and the shift state carries over from piece to piece.
  const std::string jis = "\x1B$BF|K\\8l\x1B(BA";
  corvane::Decoder decoder(corvane::Encoding("ISO-2022-JP"));
  std::u16string streamed;
  for (char byte : jis)
    decoder.decode(std::string_view(&byte, 1), streamed);
  decoder.finish(streamed);
  Check(streamed == nihongo && decoder.position() == jis.size() && decoder.report().replaced == 0,
        "Decoder, 1-byte pieces", corvane::to_utf8(streamed));

  if (failures != 0) return 1;
  std::puts("ok");
  return 0;
}
