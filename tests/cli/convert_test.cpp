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
const std::string kHalfWidth = "半角カナ: ｱｲｳｴｵ\n";

// The library's own 932 tables write a character they lack as its low byte: half-width kana
// come back as ASCII letters without the system's conversion.
#if defined(CORVANE_SYSTEM_CONVERSION)
constexpr bool kSystemConversion = true;
#else
constexpr bool kSystemConversion = false;
#endif

// Every row, chunk sizes 1, 2, 3, 5 and the tool's own, both directions: equal to the one-shot
// call and back to the text. Each road family the tool cuts by once; charset names are the
// library's (CV_CodePageNameToID), tested there.
TEST(ConvertTest, StreamsEqualOneShotAndRoundTrip) {
  const struct {
    const char* charset;  // as given to -f and -t
    std::uint32_t codePage;
    std::string text;  // UTF-8
    bool roundTrips;   // false: the code page has no byte for a control character in it
  } rows[] = {
      {"Shift_JIS", 932, kJapanese + kHalfWidth, kSystemConversion},
      {"iso-2022-jp", 2022, kJapanese + kHalfWidth, kSystemConversion},
      {"euc-jp", 51932, kJapanese, true},  // half-width kana leave EUC-JP without their 0x8E
      {"EUC-KR", 949, "한국어 텍스트입니다. 데비안 FAQ\n둘째 줄입니다\n", true},
      {"gb2312", 936, "简体中文文本，测试。\n第二行文字\n", true},
      {"koi8-r", 20866, "Русский текст, проверка.\nВторая строка\n", false},
      {"utf-8", 65001, kJapanese + "emoji 😀 and ünïcödé\n", true},
      {"utf-16le", kUtf16Le, kJapanese + "emoji 😀\n", true},
  };
  const ScratchDirectory dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.charset);
    const std::u16string text = Utf8ToUtf16(row.text);
    const Bytes encoded = EncodeOnce(row.codePage, text);
    ExpectAtChunkSizes({"convert", "-f", "utf-8", "-t", row.charset, dir.Write("utf8", row.text)},
                       encoded);
    // The library's UTF-8 encoder writes each half of a surrogate pair by itself.
    const Bytes back = EncodeOnce(65001, DecodeOnce(row.codePage, encoded));
    ExpectAtChunkSizes({"convert", "-f", row.charset, "-t", "utf-8", dir.Write("coded", encoded)},
                       back);
    EXPECT_TRUE(!row.roundTrips || Utf8ToUtf16(back) == text) << "back to the text";
  }
}

// Hand-made inputs whose characters, escape sequences and mistakes straddle every chunk
// boundary, then 60 random ones over a small alphabet of characters, escapes, line ends and
// mistakes: the files of a code page in one run, whose outputs (UTF-16LE) follow one another.
TEST(ConvertTest, ChunkBoundariesInsideCharactersAndEscapes) {
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
    {51932, "\xb0\xe0\xb0\xe0\xb0\xe0\xb0"},           // pairs that Shift_JIS counting would split
    {65001, "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82\xac"},  // four-, two- and three-byte forms
#if defined(CORVANE_SYSTEM_CONVERSION) && !defined(_WIN32)
    // A surrogate pair through iconv's UTF-16; Windows converts no UTF-16 code page
    // (commands_test.cpp).
    {1200, Bytes("A\0\x3d\xd8\x00\xde\x42\0", 8)},
#endif
  };
  const std::pair<std::uint32_t, Bytes> alphabets[] = {
      {2022,
       "\x1b$(BJK\x24\x22\x30\x21"
       "A\n\r"},
      {932, "\x82\xa0\x41\n\xb1\x88\x9f\xe0\x40\xf0 \xfc"},
      {936, "\x81\x40\xa1\xb0\x41\n\xfe\x80 "},
      {51932, "\xa4\xa2\xb0\xe0\xa1\x41\n \xff"},
  };
  std::mt19937 random(2023);
  const ScratchDirectory dir;
  for (const std::uint32_t codePage : {2022u, 932u, 936u, 949u, 51932u, 65001u, 1200u}) {
    Args args = {"convert", "-f", std::to_string(codePage), "-t", "utf-16le"};
    Bytes expected;
    const auto add = [&](const Bytes& input) {
      args.push_back(dir.Write("input" + std::to_string(args.size()), input));
      expected += AsUtf16Le(DecodeOnce(codePage, input));
    };
    for (const auto& [page, input] : inputs)
      if (page == codePage) add(input);
    for (const auto& [page, alphabet] : alphabets)
      for (int file = 0; file < (page == codePage ? 60 : 0); ++file)
        add(RandomText(random, alphabet, 24));
    if (args.size() > 5) ExpectAtChunkSizes(args, expected, {1, 2, 3, 4, 5, 6, 7, 8});
  }
}

// More than the tool holds back waiting for a byte below 0x30 (1 MiB), without one: the piece
// must still end on a character boundary of the road that converts it. The system's GBK and UHC
// read 0x81 as a lead byte where the library's tables do not. Undecided auto-ja input that long
// goes through the tool's temporary file.
TEST(ConvertTest, LongTextsWithoutALineEndCutBetweenCharacters) {
  const struct {
    const char* from;
    std::uint32_t codePage;
    Bytes unit, end;
  } rows[] = {{"936", 936, "\x81\xa1", ""},
              {"949", 949, "\x81\xa1", ""},
              {"950", 950, "\xa1\x40", ""},
              {"932", 932, "\xf0\x40\x41", ""},
              {"auto-ja", 51932, "plain ASCII line that decides nothing\n", "\xa4\xa2\xa4\xa4\n"}};
  const ScratchDirectory dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.from);
    Bytes input;
    while (input.size() < 1200 * 1000)
      input += row.unit;
    input += row.end;
    ExpectAtChunkSizes({"convert", "-f", row.from, "-t", "utf-16le", dir.Write("long", input)},
                       AsUtf16Le(DecodeOnce(row.codePage, input)), {0, 65537});
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
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("\x1b(B")) << "chunk size " << chunk;
    EXPECT_EQ(DecodeOnce(2022, r.out), Utf8ToUtf16(text)) << "chunk size " << chunk;
  }
}

TEST(ConvertTest, AutoJapaneseDetectsEachFile) {
  const std::string mail = std::string(CORVANE_SAMPLES) + "/mail.iso2022jp.eml";
  const std::string manual = std::string(CORVANE_SAMPLES) + "/automake-options.sjis.txt";
  const ScratchDirectory dir;
  // The deciding pair comes long after the first chunk and is cut by it.
  const std::string late = dir.Write("late", std::string(100, 'a') + "\xa4\xa2\xa4\xa4\n");
  const Bytes expected = EncodeOnce(65001, DecodeOnce(2022, ReadFile(mail))) +
                         EncodeOnce(65001, DecodeOnce(932, ReadFile(manual))) +
                         EncodeOnce(65001, DecodeOnce(51932, ReadFile(late)));
  ExpectAtChunkSizes({"convert", "-f", "auto-ja", "-t", "utf-8", mail, manual, late}, expected,
                     {1, 3, 0});
  EXPECT_NE(expected.find("開発者の Guido van Rossum"), Bytes::npos);
  EXPECT_NE(expected.find("警告カテゴリーは以下の通り"), Bytes::npos);
}

TEST(ConvertTest, InvalidUtf8StopsWithStatusOneAndLeavesNoOutput) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("bad", "good text\n\x80 then more text after it\n");
  const std::string out = dir.Path("out");
  for (const std::size_t chunk : {1u, 4u, 0u}) {
    const ToolResult r =
        RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, input}, chunk);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("invalid UTF-8 at byte 10"), std::string::npos) << r.err;
    EXPECT_EQ(dir.Names(), Args{"bad"});
  }
  // An existing file is left as it was, and no temporary file beside it.
  dir.Write("out", "keep me");
  EXPECT_EQ(RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, input}).status, 1);
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(), (Args{"bad", "out"}));
  // A good conversion replaces it.
  const std::string good = dir.Write("good", "caf\xc3\xa9\n");
  ASSERT_EQ(RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, good}).status, 0);
  EXPECT_EQ(ReadFile(out), "caf\xe9\n");
}

}  // namespace
}  // namespace corvane_cli_test
