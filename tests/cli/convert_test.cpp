// corvane convert, end to end: whatever the chunk size, the output equals one library call over
// the whole input.
#include <gtest/gtest.h>

#include <random>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

constexpr std::size_t kChunkSizes[] = {1, 2, 3, 5, 64, 0};  // 0: the tool's own chunk size

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

struct RoundTripRow {
  const char* charset;  // as given to -f and -t
  std::uint32_t codePage;
  std::string text;        // UTF-8
  bool roundTrips = true;  // false: the code page has no byte for a control character in it
};

const RoundTripRow kRoundTrips[] = {
    {"Shift_JIS", 932, kJapanese + kHalfWidth, kSystemConversion},
    {"iso-2022-jp", 2022, kJapanese + kHalfWidth, kSystemConversion},
    {"euc-jp", 51932, kJapanese},  // half-width kana leave EUC-JP without their 0x8E prefix
    {"EUC-KR", 949, "한국어 텍스트입니다. 데비안 FAQ\n둘째 줄입니다\n"},
    {"gb2312", 936, "简体中文文本，测试。\n第二行文字\n"},
    {"big5", 950, "繁體中文文字，測試。\n第二行文字\n"},
    {"koi8-r", 20866, "Русский текст, проверка.\nВторая строка\n", false},
    {"40866", 40866, "Русский текст, проверка.\nВторая строка\n", false},
    {"88597", 88597, "Ελληνικά κείμενα\n"},
    {"latin1", 1252, "Grüße, café, naïve — déjà vu\n"},
    {"macintosh", 10000, "Grüße, café, naïve — déjà vu\n"},
    {"utf-8", 65001, kJapanese + "emoji 😀 and ünïcödé\n"},
    {"utf-16le", kUtf16Le, kJapanese + "emoji 😀\n"},
};

// Every row, every chunk size, both directions: equal to the one-shot call and back to the text.
TEST(ConvertTest, StreamsEqualOneShotAndRoundTrip) {
  const ScratchDirectory dir;
  for (const RoundTripRow& row : kRoundTrips) {
    const std::u16string text = Utf8ToUtf16(row.text);
    const Bytes encoded = EncodeOnce(row.codePage, text);
    const std::string encodedPath = dir.Write("encoded", encoded);
    const std::string utf8Path = dir.Write("utf8", row.text);
    for (const std::size_t chunk : kChunkSizes) {
      SCOPED_TRACE(std::string(row.charset) + ", chunk size " + std::to_string(chunk));
      const ToolResult to = RunTool({"convert", "-f", "utf-8", "-t", row.charset, utf8Path}, chunk);
      ASSERT_EQ(to.status, 0) << to.err;
      EXPECT_EQ(to.out, encoded);
      const ToolResult back =
          RunTool({"convert", "-f", row.charset, "-t", "utf-8", encodedPath}, chunk);
      ASSERT_EQ(back.status, 0) << back.err;
      // The library's UTF-8 encoder writes each half of a surrogate pair by itself.
      EXPECT_EQ(back.out, EncodeOnce(65001, DecodeOnce(row.codePage, encoded)));
      if (row.roundTrips) {
        EXPECT_EQ(DecodeOnce(65001, back.out), text);
      }
    }
  }
}

struct BoundaryRow {
  std::uint32_t codePage;
  Bytes input;
  const char* why;
};

// Hand-made inputs whose characters, escape sequences and mistakes straddle every chunk
// boundary; the units (read as UTF-16LE) must be the one-shot call's.
const BoundaryRow kBoundaries[] = {
    {2022, "A\x1b$B\x24\x22\x24\x24\x1b(BZ\n", "pairs and escapes cut anywhere"},
    {2022, "\x1b$B\x30\x21\n\x30\x21", "a line end leaves two-byte mode without an escape"},
    {2022, "\x1b$B\x30\x21\x30\x21\x30\x21\x30\x21\x30", "a pair cut off by the end"},
    {2022, "A\x1b$", "an escape sequence cut off by the end"},
    {2022, "\x1b$B\x30\x1b(BA", "an ESC read as the second byte of a pair"},
    {2022, "\x1b$B\x30\x21\x1b(J\x1b$@\x24\x22\x1bK\x24\x22", "other escapes"},
    {932, "\x82\xa0\x82\xa2\x41\x82", "a lead byte at the very end"},
    {932, "\x82\n\x82\xa0 \x82", "a lead byte before a line end"},
    {932, "\xf0\x40\xb1\xb2\x88\x9f", "a user-defined pair and half-width kana"},
    {936, "\x81\x40\xb0\xa1 \x81\x40\xb0", "GBK pairs whose lead the library does not count"},
    {949, "\xb0\xa1\x81\x41\xc7\xd1", "UHC pairs"},
    {51932, "\xa4\xa2\x8e\xb1\x8f\xb0\xa1\x41\xa4\x41\xb0\xe0\xb0\xe0\n", "EUC-JP forms"},
    {51932, "\xb0\xe0\xb0\xe0\xb0\xe0\xb0", "pairs that Shift_JIS counting would split"},
    {65001, "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82\xac", "four-, two- and three-byte forms"},
#if defined(CORVANE_SYSTEM_CONVERSION) && !defined(_WIN32)
    // iconv's UTF-16; Windows converts no UTF-16 code page (commands_test.cpp, ErrorsTest).
    {1200, "A\0\x3d\xd8\x00\xde\x42\0", "a surrogate pair through the system's UTF-16"},
#endif
};

TEST(ConvertTest, ChunkBoundariesInsideCharactersAndEscapes) {
  const ScratchDirectory dir;
  for (const BoundaryRow& row : kBoundaries) {
    const std::string path = dir.Write("input", row.input);
    const Bytes expected = AsUtf16Le(DecodeOnce(row.codePage, row.input));
    for (std::size_t chunk = 1; chunk <= 8; ++chunk) {
      SCOPED_TRACE(std::string(row.why) + ", chunk size " + std::to_string(chunk));
      const ToolResult r =
          RunTool({"convert", "-f", std::to_string(row.codePage), "-t", "utf-16le", path}, chunk);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, expected);
    }
  }
}

// More than the tool holds back waiting for a byte below 0x30 (1 MiB), without one: the piece
// must still end on a character boundary of the road that converts it. The system's GBK and UHC
// read 0x81 as a lead byte where the library's tables do not.
TEST(ConvertTest, LongTextsWithoutALineEndCutBetweenCharacters) {
  const ScratchDirectory dir;
  const struct {
    std::uint32_t codePage;
    Bytes unit;
  } rows[] = {{936, "\x81\xa1"}, {949, "\x81\xa1"}, {950, "\xa1\x40"}, {932, "\xf0\x40\x41"}};
  for (const auto& row : rows) {
    Bytes input;
    while (input.size() < 1200 * 1000)
      input += row.unit;
    const std::string path = dir.Write("long", input);
    const Bytes expected = AsUtf16Le(DecodeOnce(row.codePage, input));
    for (const std::size_t chunk : {std::size_t{0}, std::size_t{65537}}) {
      SCOPED_TRACE(std::to_string(row.codePage) + ", chunk size " + std::to_string(chunk));
      const ToolResult r =
          RunTool({"convert", "-f", std::to_string(row.codePage), "-t", "utf-16le", path}, chunk);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_TRUE(r.out == expected) << "differs from one call";
    }
  }
}

// Random bytes over small alphabets that mix characters, escape sequences, line ends and
// mistakes; many files in one run, whose outputs follow one another.
TEST(ConvertTest, RandomInputsEqualOneShot) {
  struct Alphabet {
    std::uint32_t codePage;
    Bytes bytes;
  };
  const Alphabet alphabets[] = {
      {2022,
       "\x1b$(BJK\x24\x22\x30\x21"
       "A\n\r"},
      {51932, "\xa4\xa2\xb0\xe0\xa1\x41\n \xff"},
      {932, "\x82\xa0\x41\n\xb1\x88\x9f\xe0\x40\xf0 \xfc"},
      {936, "\x81\x40\xa1\xb0\x41\n\xfe\x80 "},
  };
  std::mt19937 random(2023);
  const ScratchDirectory dir;
  for (const Alphabet& alphabet : alphabets) {
    std::vector<std::string> args = {"convert", "-f", std::to_string(alphabet.codePage), "-t",
                                     "utf-16le"};
    Bytes expected;
    for (int file = 0; file < 60; ++file) {
      Bytes input(random() % 24, '\0');
      for (char& b : input)
        b = alphabet.bytes[random() % alphabet.bytes.size()];
      args.push_back(dir.Write("random" + std::to_string(file), input));
      expected += AsUtf16Le(DecodeOnce(alphabet.codePage, input));
    }
    for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 2, 3, 7}) {
      SCOPED_TRACE("code page " + std::to_string(alphabet.codePage) + ", chunk size " +
                   std::to_string(chunk));
      const ToolResult r = RunTool(args, chunk);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, expected);
    }
  }
}

TEST(ConvertTest, Iso2022JpOutputEndsInSingleByteModeAndDecodesBack) {
  // No ASCII for longer than the tool waits for one: pieces are cut inside a two-byte run and
  // closed, and the whole output still ends in single-byte mode.
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "漢字だけの長い行";
  for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 7, 0}) {
    SCOPED_TRACE("chunk size " + std::to_string(chunk));
    const ToolResult r = RunTool({"convert", "-f", "utf-8", "-t", "iso-2022-jp"}, chunk, text);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.out.size(), 3u);
    EXPECT_EQ(r.out.substr(r.out.size() - 3), "\x1b(B");
    EXPECT_EQ(DecodeOnce(2022, r.out), Utf8ToUtf16(text));
  }
}

TEST(ConvertTest, AutoJapaneseDetectsEachFile) {
  const std::string samples = CORVANE_SAMPLES;
  const std::string mail = samples + "/mail.iso2022jp.eml";
  const std::string manual = samples + "/automake-options.sjis.txt";
  const ScratchDirectory dir;
  // The deciding pair comes long after the first chunk and is cut by it.
  const std::string late = dir.Write("late", std::string(100, 'a') + "\xa4\xa2\xa4\xa4\n");
  const Bytes expected = EncodeOnce(65001, DecodeOnce(2022, ReadFile(mail))) +
                         EncodeOnce(65001, DecodeOnce(932, ReadFile(manual))) +
                         EncodeOnce(65001, DecodeOnce(51932, ReadFile(late)));
  for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 3, 0}) {
    const ToolResult r =
        RunTool({"convert", "-f", "auto-ja", "-t", "utf-8", mail, manual, late}, chunk);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected) << "chunk size " << chunk;
  }
  EXPECT_NE(expected.find("開発者の Guido van Rossum"), Bytes::npos);
  EXPECT_NE(expected.find("警告カテゴリーは以下の通り"), Bytes::npos);
}

// Undecided input beyond what the tool holds in memory goes through its temporary file.
TEST(ConvertTest, AutoJapaneseHoldsLongUndecidedInputInAFile) {
  const ScratchDirectory dir;
  Bytes input;
  for (int line = 0; line < 30000; ++line)
    input += "plain ASCII line " + std::to_string(line) + " that decides nothing\n";
  input += "\xa4\xa2\xa4\xa4\n";  // EUC-JP, after more than a mebibyte
  ASSERT_GT(input.size(), 1024u * 1024u);
  const std::string path = dir.Write("late", input);
  const ToolResult r = RunTool({"convert", "-f", "auto-ja", "-t", "utf-16le", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, AsUtf16Le(DecodeOnce(51932, input)));
}

// Standard input and output carry every byte as it is: no line-end translation and no end of
// text at Ctrl-Z, as text streams on Windows would have.
TEST(ConvertTest, StandardStreamsAreBinary) {
  const Bytes input = "a\r\nb\nc\x1a z\r\n\r";
  const ToolResult r = RunTool({"convert", "-f", "latin1", "-t", "utf-16le"}, 0, input);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, AsUtf16Le(u"a\r\nb\nc\x1a z\r\n\r"));
  const ToolResult same = RunTool({"convert", "-f", "latin1", "-t", "latin1"}, 0, input);
  EXPECT_EQ(same.out, input);
}

TEST(ConvertTest, InvalidUtf8StopsWithStatusOneAndLeavesNoOutput) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("bad", "good text\n\x80 then more text after it\n");
  const std::string out = dir.Path("out");
  for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 4, 0}) {
    const ToolResult r =
        RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, input}, chunk);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("invalid UTF-8 at byte 10"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(out));
  }
  // An existing file is left as it was, and no temporary file beside it.
  dir.Write("out", "keep me");
  EXPECT_EQ(RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, input}).status, 1);
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"bad", "out"}));
  // A good conversion replaces it.
  const std::string good = dir.Write("good", "caf\xc3\xa9\n");
  ASSERT_EQ(RunTool({"convert", "-f", "utf-8", "-t", "latin1", "-o", out, good}).status, 0);
  EXPECT_EQ(ReadFile(out), "caf\xe9\n");
}

#if defined(_WIN32)
// A device is written to, never replaced.
TEST(ConvertTest, NullDeviceIsWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  const ToolResult r = RunTool({"convert", "-f", "latin1", "-t", "utf-8", "-o", "NUL", input});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"input"});
}
#endif

// A character TO lacks is replaced as the library does; the tool warns when the library says so.
TEST(ConvertTest, ReplacedCharactersAreConvertedWithAWarning) {
  const ToolResult r = RunTool({"convert", "-f", "utf-8", "-t", "latin1"}, 0, "caf\xc3\xa9 日本\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, EncodeOnce(1252, Utf8ToUtf16("café 日本\n")));
#if defined(CORVANE_SYSTEM_CONVERSION)
  EXPECT_NE(r.err.find("warning: some characters have no equivalent in 'latin1'"),
            std::string::npos)
      << r.err;
#endif
}

}  // namespace
}  // namespace corvane_cli_test
