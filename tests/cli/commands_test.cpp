// corvane detect, list, names and length, and what every command does with a bad command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "corvane.h"
#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

#if defined(CORVANE_SYSTEM_CONVERSION)
constexpr bool kSystemConversion = true;
#else
constexpr bool kSystemConversion = false;
#endif

const auto* AsBytes(const Bytes& bytes) {
  return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

// Detection in chunks gives the one-shot answer: markers and pairs carried across chunks.
TEST(DetectTest, ChunkedDetectionEqualsOneShot) {
  const Bytes rows[] = {
      "",
      "plain ASCII only",
      std::string(70, 'a') + "\x82\xa0",  // Shift_JIS pair, late
      "a\x82\xa0",                        // the pair cut by a chunk of 2
      "\xb1\x41\xb1\x41\x82\xa0",         // pairs that pass no test, then Shift_JIS
      "\xe0\xa1\x82\xa0",                 // both markers: no later pair decides
      "\xe0\xa1 more text \x1b$B",        // both markers, then ESC: confident 51932
      "\xe0\xa1\x81\x1b",                 // the ESC is the second byte of a pair
      "\xff\xff\xff\xa4\xa2",             // odd run: 0xFF 0xA4 is a pair, 0xA2 waits
      "\x80\xa4\xa2",                     // 0x80 stands alone
  };
  const ScratchDirectory dir;
  Args args = {"detect"};
  std::string expected;
  std::mt19937 random(7);
  const Bytes alphabet = "\x1b\x41\x80\x82\xa0\xa4\xa2\xe0\xa1\xb1\xff\n";
  for (std::size_t i = 0; i < 80; ++i) {
    const Bytes bytes = i < std::size(rows) ? rows[i] : RandomText(random, alphabet, 16);
    args.push_back(dir.Write("text" + std::to_string(i), bytes));
    std::uint32_t confident = 0;
    const std::uint32_t codePage =
        CV_JapaneseAutoDetect(AsBytes(bytes), static_cast<std::int32_t>(bytes.size()), &confident);
    char name[20] = "";
    CV_CodePageIDToName(codePage, name);
    expected += args.back() + "\t" + std::to_string(codePage) + "\t" + name + "\t" +
                std::to_string(confident) + "\n";
  }
  ExpectAtChunkSizes(args, expected);
}

TEST(ListTest, EveryRegisteredCodePageWithNameRoadAndCharset) {
  const ToolResult r = RunTool({"list"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 33);  // heading and registry
  std::vector<const char*> rows = {"\n932        Shift_JIS     ", "128 SHIFTJIS",
                                   "\n40866      -             tables  0 ANSI"};
#if !defined(CORVANE_SYSTEM_CONVERSION)
  EXPECT_EQ(r.out.find("system"), std::string::npos);
  rows.push_back("\n10000      macintosh     tables");
#elif defined(_WIN32)
  // Windows converts every registered code page whose number it knows, Macintosh Roman too.
  rows.insert(rows.end(),
              {"\n1252       iso-8859-1    system", "\n10000      macintosh     system"});
#else
  // Macintosh Roman differs between glibc and Mac OS, so it never goes to glibc.
  rows.insert(rows.end(),
              {"\n1252       iso-8859-1    system", "\n10000      macintosh     tables"});
#endif
  for (const char* row : rows)
    EXPECT_NE(r.out.find(row), std::string::npos) << row << " in\n" << r.out;
}

// length over a file in chunks equals CV_StrLength over the whole file.
TEST(LengthTest, ChunkedMeasureEqualsOneShot) {
  const std::pair<std::uint32_t, Bytes> rows[] = {
      {932, "\x82\xa0\x41\x82\xa2\x82"},
      {949, "\xb0\xa1\xb0\xa1\xb0"},
      {2022, "A\x1b$B\x30\x21\x30\x21\x30\x21\n\x30\x21\x1b$B\x24\x22\x24"},
      {2022, "\x1b$B\x30\x21\x30\x21\x30\x21\x30\x21\x30\x21\x1b("},
      {65001, "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82"},
      {65001, "ab\x80 more bytes after the invalid one"},
      {1252, Bytes("abc\0def", 7)},
      {2023, "\x82\xa0"},  // not resolved: bytes
  };
  const ScratchDirectory dir;
  for (const auto& [codePage, bytes] : rows) {
    const std::string path = dir.Write("text", bytes);
    std::int32_t consumed = 0;
    const std::int32_t characters =
        CV_StrLength(codePage, AsBytes(bytes), static_cast<std::int32_t>(bytes.size()), &consumed);
    ExpectAtChunkSizes(
        {"length", "-f", std::to_string(codePage), path},
        path + "\t" + std::to_string(characters) + "\t" + std::to_string(consumed) + "\n",
        {1, 2, 3, 0});
  }
}

// One run each: the exit status, standard output (where given) and a piece of standard error,
// the one-line message that names the culprit of a bad command line or file.
TEST(CommandsTest, StatusOutputAndMessage) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "text\n"), samples = CORVANE_SAMPLES;
  const auto convert = [](Args args) {
    args.insert(args.begin(), {"convert", "-f", "utf-8", "-t", "utf-8"});
    return args;
  };
  const Bytes binary = "a\r\nb\nc\x1a z\r\n\r";
  const struct {
    Args args;
    int status;
    std::string err;                          // a piece of standard error
    std::optional<Bytes> out = std::nullopt;  // nullopt: not compared
    Bytes in = "";
  } rows[] = {
    // clang-format off
      // names: what the name table says.
      {{"names", "WINDOWS-31j"}, 0, "",
       "name: WINDOWS-31j\ncode-page: 932\npreferred-name: Shift_JIS\ncharset: 128 SHIFTJIS\n"
       "registered: yes\n"},
      {{"names", "65001"}, 0, "",
       "code-page: 65001\npreferred-name: utf-8\ncharset: 0 ANSI\nregistered: no\n"},
      {{"names", "40850"}, 0, "",
       "code-page: 40850\npreferred-name: -\ncharset: 0 ANSI\nregistered: yes\n"},
      {{"names", "iso88591"}, 1, "", ""},
      {{"names"}, 2, "", ""},
      // detect: the samples, and standard input as "-".
      {{"detect", samples + "/mail.iso2022jp.eml", samples + "/automake-options.sjis.txt", "-"},
       0, "", samples + "/mail.iso2022jp.eml\t2022\tiso-2022-jp\t1\n" + samples +
       "/automake-options.sjis.txt\t932\tShift_JIS\t1\n-\t51932\teuc-jp\t1\n", "\xa4\xa2"},
      // Standard input and output carry every byte as it is: no line-end translation and no end
      // of text at Ctrl-Z, as text streams on Windows would have.
      {{"convert", "-f", "latin1", "-t", "utf-16le"}, 0, "", AsUtf16Le(u"a\r\nb\nc\x1a z\r\n\r"),
       binary},
      {{"convert", "-f", "latin1", "-t", "latin1"}, 0, "", binary, binary},
      // A character TO lacks is replaced as the library does; the tool warns when the library
      // says so.
      {{"convert", "-f", "utf-8", "-t", "latin1"}, 0,
       kSystemConversion ? "warning: some characters have no equivalent in 'latin1'" : "",
       EncodeOnce(1252, Utf8ToUtf16("café 日本\n")), "caf\xc3\xa9 日本\n"},
      // Bad command lines and files.
      {{}, 2, "usage: corvane COMMAND"},
      {{"transmogrify"}, 2, "unknown command 'transmogrify'"},
      {{"convert", "-f", "klingon", "-t", "utf-8", input}, 2, "unknown charset 'klingon' (-f)"},
      {{"convert", "-f", "utf-8", "-t", "iso8859-1 ", input}, 2, "unknown charset 'iso8859-1 '"},
      {{"convert", "-f", "utf-8", "-t", "auto-ja", input}, 2, "auto-ja can only be a source"},
      {{"convert", "-f", "utf-8", "-t", "54321", input}, 2, "code page 54321 ('54321', -t)"},
      {{"convert", "-t", "utf-8", input}, 2, "missing -f FROM"},
      {convert({"--frobnicate"}), 2, "unknown option"},
      {convert({"-o"}), 2, "option '-o' needs a value"},
      {convert({dir.Path("missing")}), 1,
       "cannot read " + dir.Path("missing") + ": No such file or directory"},
      {convert({dir.Path("")}), 1, "Is a directory"},
      {convert({"-o", dir.Path("no/such/dir"), input}), 1,
       "cannot write " + dir.Path("no/such/dir")},
      {{"detect", dir.Path("missing")}, 1, "cannot read"},
      {{"length", input}, 2, "missing -f CODEPAGE"},
      {{"list", "extra"}, 2, "unexpected argument 'extra'"},
#if defined(_WIN32)
      // Windows' MultiByteToWideChar has no UTF-16 code page; the tool says so before reading.
      {{"convert", "-f", "1200", "-t", "utf-8", input}, 2,
       "code page 1200 ('1200', -f) cannot be converted from on this system"},
      // A device is written to, never replaced.
      {convert({"-o", "NUL", input}), 0, ""},
#endif
    // clang-format on
  };
  for (const auto& row : rows) {
    const ToolResult r = RunTool(row.args, 0, row.in);
    EXPECT_EQ(r.status, row.status) << ::testing::PrintToString(row.args);
    EXPECT_TRUE(!row.out || r.out == *row.out) << r.out;
    EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(dir.Names(), Args{"input"});
}

TEST(ErrorsTest, EveryCommandHasHelp) {
  for (const std::string command : {"convert", "detect", "list", "names", "length"}) {
    const ToolResult r = RunTool({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind("usage: corvane " + command, 0), 0u) << r.out;
  }
  EXPECT_EQ(RunTool({"--help"}).status, 0);
}

}  // namespace
}  // namespace corvane_cli_test
