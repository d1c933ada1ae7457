// corvane convert, end to end: whatever the chunk size, the output equals one library call over
// the whole input.
#include <gtest/gtest.h>

#include <random>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

const std::string kJapanese =
    "Python の開発は、1990 年ごろから開始されています。\n"
    "開発者の Guido van Rossum は「ABC」の開発に参加していました。\r\n"
    "漢字だけの長い行漢字だけの長い行漢字だけの長い行\n";

// Each road family the tool cuts by, at chunk sizes 1 to 8 and its own: a text from UTF-8 in
// one call's bytes; back to UTF-8 the same bytes, hand-made inputs whose characters, escape
// sequences and mistakes straddle every chunk boundary, and 60 random ones over an alphabet of
// those, each as one call gives.
TEST(ConvertTest, ChunkedEqualsOneCallBothWays) {
  const std::pair<std::uint32_t, std::string> texts[] = {
    {2022, kJapanese + "半角カナ: ｱｲｳｴｵ\n"},
    {932, kJapanese + "半角カナ: ｱｲｳｴｵ\n"},
    {51932, kJapanese},
    {936, "简体中文文本，测试。\n第二行文字\n"},
    {949, "한국어 텍스트입니다.\n둘째 줄입니다\n"},
    {65001, kJapanese + "emoji 😀 and ünïcödé\n"},
#if defined(CORVANE_SYSTEM_CONVERSION) && !defined(_WIN32)
    {1200, "emoji 😀\n"},  // Windows converts no UTF-16 code page
#endif
  };
  const std::pair<std::uint32_t, Bytes> inputs[] = {
      {2022, "A\x1b$B\x24\x22\x24\x24\x1b(BZ\n"},                 // pairs and escapes cut anywhere
      {2022, "\x1b$B\x30\x21\n\x30\x21"},                         // a line end leaves two-byte mode
      {2022, "\x1b$B\x30\x21\x30\x21\x30\x21\x30\x21\x30"},       // a pair cut off by the end
      {2022, "A\x1b$"},                                           // an escape cut off by the end
      {2022, "\x1b$B\x30\x1b(BA"},                                // an ESC as a pair's second byte
      {2022, "\x1b$B\x30\x21\x1b(J\x1b$@\x24\x22\x1bK\x24\x22"},  // other escapes
      {932, "\x82\xa0\x82\xa2\x41\x82"},                          // a lead byte at the very end
      {932, "\x82\n\x82\xa0 \x82"},                               // a lead byte before a line end
      {932, "\xf0\x40\xb1\xb2\x88\x9f"},       // a user-defined pair and half-width kana
      {936, "\x81\x40\xb0\xa1 \x81\x40\xb0"},  // GBK pairs whose lead the library does not count
      {949, "\xb0\xa1\x81\x41\xc7\xd1"},       // UHC pairs
      {51932, "\xa4\xa2\x8e\xb1\x8f\xb0\xa1\x41\xa4\x41\xb0\xe0\xb0\xe0\n"},  // EUC-JP forms
      {51932, "\xb0\xe0\xb0\xe0\xb0\xe0\xb0"},  // pairs that Shift_JIS counting would split
      {65001, "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82\xac"},  // four-, two- and three-byte forms
      {1200, Bytes("A\0\x3d\xd8\x00\xde\x42\0", 8)},     // a surrogate pair
  };
  const std::pair<std::uint32_t, Bytes> alphabets[] = {
      {2022, "\x1b$(BJK$\"0!A\n\r"},
      {932, "\x82\xa0\x41\n\xb1\x88\x9f\xe0\x40\xf0 \xfc"},
      {936, "\x81\x40\xa1\xb0\x41\n\xfe\x80 "},
      {51932, "\xa4\xa2\xb0\xe0\xa1\x41\n \xff"},
  };
  std::mt19937 random(2023);
  const ScratchDirectory dir;
  for (const auto& [page, text] : texts) {
    SCOPED_TRACE(page);
    const Bytes encoded = ConvertOnce(65001, page, text);
    ExpectAtChunkSizes(
        {"convert", "-f", "utf-8", "-t", std::to_string(page), dir.Write("in", text)}, encoded,
        {1, 2, 3, 5, 8, 0});
    Args args = {"convert", "-f", std::to_string(page), "-t", "utf-8"};
    Bytes expected;
    const auto add = [&, page = page](const Bytes& input) {
      args.push_back(dir.Write("input" + std::to_string(args.size()), input));
      expected += ConvertOnce(page, 65001, input);
    };
    add(encoded);
    for (const auto& input : inputs)
      if (input.first == page) add(input.second);
    for (const auto& alphabet : alphabets)
      for (int i = 0; i < (alphabet.first == page ? 60 : 0); ++i)
        add(RandomText(random, alphabet.second, 24));
    ExpectAtChunkSizes(args, expected, {1, 2, 3, 4, 5, 6, 7, 8, 0});
  }
}

// More than the tool holds back waiting for a byte below 0x30 (1 MiB), without one: the piece
// must still end on a character boundary of the road that converts it. The system's GBK reads
// 0x81 as a lead byte where the library's tables do not; GB18030 only the system converts.
// Undecided auto-ja input (code page 2023) that long goes through the tool's temporary file.
TEST(ConvertTest, LongTextsWithoutALineEndCutBetweenCharacters) {
  const auto repeat = [](const Bytes& unit) {
    Bytes text;
    while (text.size() < 1200 * 1000)
      text += unit;
    return text;
  };
  const std::pair<std::uint32_t, Bytes> rows[] = {
    {936, repeat("\x81\xa1")},
    {950, repeat("\xa1\x40")},
    {932, repeat("\xf0\x40\x41")},
#if defined(CORVANE_SYSTEM_CONVERSION) && !defined(_WIN32)
    {54936, repeat("\xa1\xa1\x81\x30\x81\x30")},  // two- and four-byte characters
#endif
    {2023, repeat("plain ASCII line that decides nothing\n") + "\xa4\xa2\n"},  // auto-ja: EUC-JP
  };
  const ScratchDirectory dir;
  for (const auto& [from, input] : rows) {
    SCOPED_TRACE(from);
    ExpectAtChunkSizes(
        {"convert", "-f", std::to_string(from), "-t", "utf-8", dir.Write("in", input)},
        ConvertOnce(from == 2023 ? 51932 : from, 65001, input), {0, 65537});
  }
}

// No ASCII for longer than the tool waits for one: pieces are cut inside a two-byte run and
// closed, and the whole output still ends in single-byte mode.
TEST(ConvertTest, Iso2022JpOutputEndsInSingleByteModeAndDecodesBack) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "漢字だけの長い行";
  for (const std::size_t chunk : {1u, 7u, 0u}) {
    const ToolResult r = RunTool({"convert", "-f", "utf-8", "-t", "iso-2022-jp"}, chunk, text);
    EXPECT_TRUE(r.out.ends_with("\x1b(B")) << "chunk size " << chunk;
    EXPECT_TRUE(ConvertOnce(2022, 65001, r.out) == text) << "chunk size " << chunk;
  }
}

}  // namespace
}  // namespace corvane_cli_test
