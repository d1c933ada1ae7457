// corvane convert, end to end: whatever the chunk size, the output equals one call of the C++
// interface over the whole input; names, error policies and -f auto as a user meets them.
#include <gtest/gtest.h>

#include <random>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

const std::string kJapanese =
    "Python の開発は、1990 年ごろから開始されています。\n"
    "開発者の Guido van Rossum は「ABC」の開発に参加していました。\r\n"
    "漢字だけの長い行漢字だけの長い行漢字だけの長い行 半角カナ: ｱｲｳｴｵ\n";

// Texts from UTF-8 into each family and back, hand-made inputs whose characters, escape
// sequences and mistakes straddle every chunk boundary, and random ones over an alphabet of
// those, at chunk sizes 1 to 8 and the tool's own.
TEST(ConvertTest, ChunkedEqualsOneCall) {
  const std::pair<const char*, std::string> texts[] = {
      {"ISO-2022-JP", kJapanese},
      {"SJIS", kJapanese},
      {"EUC-JP", kJapanese},
      {"GBK", "简体中文文本，测试。\n"},
      {"UHC", "한국어 텍스트입니다.\n"},
      {"UTF-16LE", "emoji 😀\n"},
  };
  const std::pair<const char*, Bytes> inputs[] = {
      {"ISO-2022-JP", "A\x1b$B\x24\x22\x24\x24\x1b(BZ\n\x1b$B\x30\x21\x30"},  // a pair cut off
      {"ISO-2022-JP", "\x1b$B\x30\x1b(BA\x1b$"},   // an ESC inside a pair, at the end
      {"SJIS", "\x82\xa0\x82\n\xf0\x40\xb1\x82"},  // lone lead bytes
      {"EUC-JP", "\xa4\xa2\x8e\xb1\x8f\xb0\xa1\x41\xa4\x41\xb0"},  // three-byte forms, bad pairs
      {"UTF-8", "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82\xac\xe2\x82"},  // every length, one cut off
      {"UTF-16LE", Bytes("A\0\x3d\xd8\x00\xde\x3d\xd8\x42\0\x42", 11)},  // pairs, lone, odd end
  };
  const std::pair<const char*, Bytes> alphabets[] = {
      {"ISO-2022-JP", "\x1b$(BJK$\"0!A\n"},
      {"SJIS",
       "\x82\xa0"
       "A\n\xb1\x88\x9f\xe0@\xf0\xfc"},
      {"UTF-8",
       "\xf0\x9f\x98\x80\xc3\xe2\x82"
       "A"},
  };
  std::mt19937 random(2023);
  const ScratchDirectory dir;
  for (const auto& [name, text] : texts) {
    SCOPED_TRACE(name);
    const Bytes encoded = ConvertOnce("UTF-8", name, text);
    ExpectAtChunkSizes({"convert", "-f", "utf-8", "-t", name, dir.Write("in", text)}, encoded,
                       {1, 2, 3, 5, 0});
    Args args = {"convert", "-f", name, "-t", "utf-8"};
    Bytes expected;
    const auto add = [&, name = name](const Bytes& input) {
      args.push_back(dir.Write("input" + std::to_string(args.size()), input));
      expected += ConvertOnce(name, "UTF-8", input);
    };
    add(encoded);
    for (const auto& input : inputs)
      if (Bytes(input.first) == name) add(input.second);
    for (const auto& alphabet : alphabets)
      for (int i = 0; i < (Bytes(alphabet.first) == name ? 40 : 0); ++i)
        add(RandomText(random, alphabet.second, 24));
    ExpectAtChunkSizes(args, expected, {1, 2, 3, 4, 5, 7, 8, 0});
  }
}

// Each row through standard input at the tool's own chunk size and at 1 and 3 bytes: the status,
// the whole output of a success (a failure may have written a part), and the message (none when
// empty).
TEST(ConvertTest, NamesPoliciesAndDetection) {
  const Bytes cafe = "caf\xc3\xa9\n";
  const struct {
    Args args;
    Bytes in;
    int status;
    Bytes out, err;
  } rows[] = {
      // The names people type find the standard encodings.
      {{"-f", "SJIS", "-t", "utf-8"}, "\x82\xa0", 0, "あ", ""},
      {{"-f", "CP1251", "-t", "utf-8"}, "\xc0\x88", 0, "А€", ""},
      {{"-f", "ISO-8859-5", "-t", "utf-8"}, "\xb0", 0, "А", ""},
      {{"-f", "utf-16le", "-t", "UTF-8"}, Bytes("\x3d\xd8\x00\xde", 4), 0, "😀", ""},
      {{"-f", "20866", "-t", "ucs-2be-not-a-name"}, "", 2, "", "unknown encoding"},
      // What TO lacks: replaced, skipped, or the end.
      {{"-f", "utf-8", "-t", "koi8-r"},
       cafe,
       0,
       "caf?\n",
       "warning: standard input: 1 character could not be converted (first at byte 3)\n"},
      {{"-f", "utf-8", "-t", "koi8-r", "-c"},
       "é日é" + cafe,
       0,
       "caf\n",
       "4 characters could not be converted and were skipped (first at byte 0)"},
      {{"-f", "utf-8", "-t", "koi8-r", "--strict"},
       "Жук " + cafe,
       1,
       "",
       "cannot convert standard input: U+00E9 at byte 10 has no form in KOI8-R\n"},
      {{"-f", "utf-16le", "-t", "latin1", "--strict"},
       Bytes("A\0\x3d\xd8\x00\xde", 6),
       1,
       "",
       "U+1F600 at byte 2 has no form in"},
      // Malformed input: U+FFFD in UTF-8 output, or the end.
      {{"-f", "utf-8", "-t", "utf-8"},
       "ab\x80\xed\xa0\x80z\xf0\x9f",
       0,
       "ab\uFFFD\uFFFD\uFFFD\uFFFDz\uFFFD",
       "5 characters could not be converted (first at byte 2)"},
      {{"-f", "utf-8", "-t", "sjis", "--strict"},
       "good\n\xe3\x81",
       1,
       "",
       "malformed UTF-8 at byte 5\n"},
      {{"-f", "utf-8", "-t", "sjis", "-c", "--strict"}, "", 2, "", "exclude each other"},
      // auto: a byte order mark, then valid UTF-8, then the detector.
      {{"-f", "auto", "-t", "utf-8"}, Bytes("\xff\xfe\x41\0", 4), 0, "A", ""},
      {{"-f", "auto", "-t", "utf-8"}, Bytes("\0\0\xfe\xff\0\0\0\x41", 8), 0, "A", ""},
      {{"-f", "auto", "-t", "sjis"}, "\xef\xbb\xbf\xe3\x81\x82", 0, "\x82\xa0", ""},
      {{"-f", "auto", "-t", "sjis"}, "plain \xe3\x81\x82", 0, "plain \x82\xa0", ""},
      {{"-f", "AUTO", "-t", "utf-8"},
       "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8",
       0,
       "あいうえお",
       ""},
      {{"-f", "auto", "-t", "utf-8"},
       "\xc6\xc1\xca\xcc \xce\xc5 \xce\xc1\xca\xc4\xc5\xce",
       0,
       "файл не найден",
       ""},
      {{"-f", "auto", "-t", "utf-8"}, Bytes("H\0i\0\n\0", 6), 0, "Hi\n", ""},
      {{"-f", "auto-ja", "-t", "utf-8"}, "A\x1b$B$\"\x1b(B", 0, "Aあ", ""},
      {{"-f", "auto", "-t", "utf-8"},
       "\xa4\xa2",
       0,
       "あ",
       "warning: standard input: encoding not certain, read as EUC-JP\n"},
      {{"-f", "utf-8", "-t", "auto"}, "", 2, "", "auto can only be a source encoding (-t)"},
  };
  for (const auto& row : rows) {
    for (const std::size_t chunk : {0u, 1u, 3u}) {
      Args args = row.args;
      args.insert(args.begin(), "convert");
      const ToolResult r = RunTool(args, chunk, row.in);
      const std::string trace = ::testing::PrintToString(args) + " chunk " + std::to_string(chunk);
      EXPECT_EQ(r.status, row.status) << trace;
      EXPECT_TRUE(row.status != 0 || r.out == row.out)
          << trace << ": " << ::testing::PrintToString(r.out);
      EXPECT_TRUE(row.err.empty() ? r.err.empty() : r.err.find(row.err) != std::string::npos)
          << trace << ": " << r.err;
    }
  }
}

// Undecided auto input longer than the tool holds in memory goes through its temporary file;
// ISO-2022-JP output that never leaves two-byte mode still ends in ASCII.
TEST(ConvertTest, LongInputs) {
  Bytes ascii, kanji;
  while (ascii.size() < 1200 * 1000)
    ascii += "plain ASCII line that decides nothing\n";
  for (int i = 0; i < 3000; ++i)
    kanji += "漢字だけの長い行";
  const ScratchDirectory dir;
  ExpectAtChunkSizes({"convert", "-f", "auto", "-t", "utf-8", dir.Write("in", ascii + "\xa4\xa2")},
                     ascii + "あ", {0, 65537});
  for (const std::size_t chunk : {1u, 7u, 0u}) {
    const ToolResult r = RunTool({"convert", "-f", "utf-8", "-t", "iso-2022-jp"}, chunk, kanji);
    EXPECT_TRUE(r.out.ends_with("\x1b(B")) << "chunk size " << chunk;
    EXPECT_TRUE(ConvertOnce("ISO-2022-JP", "UTF-8", r.out) == kanji) << "chunk size " << chunk;
  }
}

}  // namespace
}  // namespace corvane_cli_test
