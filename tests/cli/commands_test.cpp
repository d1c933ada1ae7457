// corvane detect, list, names and length, and what every command does with a bad command line.
#include <gtest/gtest.h>

#include <random>

#include "corvane.h"
#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

std::string DetectLine(const std::string& path, const Bytes& bytes) {
  std::uint32_t confident = 0;
  const std::uint32_t codePage =
      CV_JapaneseAutoDetect(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                            static_cast<std::int32_t>(bytes.size()), &confident);
  char name[20] = "";
  CV_CodePageIDToName(codePage, name);
  return path + "\t" + std::to_string(codePage) + "\t" + name + "\t" + std::to_string(confident) +
         "\n";
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
  std::vector<std::string> args = {"detect"};
  std::string expected;
  std::mt19937 random(7);
  const Bytes alphabet = "\x1b\x41\x80\x82\xa0\xa4\xa2\xe0\xa1\xb1\xff\n";
  for (int i = 0; i < 80; ++i) {
    Bytes bytes;
    if (i < static_cast<int>(std::size(rows))) {
      bytes = rows[i];
    } else {
      bytes.resize(random() % 16);
      for (char& b : bytes)
        b = alphabet[random() % alphabet.size()];
    }
    const std::string path = dir.Write("text" + std::to_string(i), bytes);
    args.push_back(path);
    expected += DetectLine(path, bytes);
  }
  for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 2, 3, 5, 0}) {
    const ToolResult r = RunTool(args, chunk);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected) << "chunk size " << chunk;
  }
}

TEST(DetectTest, SamplesAndStandardInput) {
  const std::string samples = CORVANE_SAMPLES;
  const ToolResult r = RunTool(
      {"detect", samples + "/mail.iso2022jp.eml", samples + "/automake-options.sjis.txt", "-"}, 0,
      "\xa4\xa2");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, samples + "/mail.iso2022jp.eml\t2022\tiso-2022-jp\t1\n" + samples +
                       "/automake-options.sjis.txt\t932\tShift_JIS\t1\n-\t51932\teuc-jp\t1\n");
}

TEST(ListTest, EveryRegisteredCodePageWithNameRoadAndCharset) {
  const ToolResult r = RunTool({"list"});
  ASSERT_EQ(r.status, 0) << r.err;
  int rows = 0;
  for (std::size_t at = 0; (at = r.out.find('\n', at)) != std::string::npos; ++at)
    ++rows;
  EXPECT_EQ(rows, 1 + 33);  // the heading and the registry
  EXPECT_NE(r.out.find("\n932        Shift_JIS     "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("128 SHIFTJIS"), std::string::npos);
  EXPECT_NE(r.out.find("\n40866      -             tables  0 ANSI"), std::string::npos);
#if !defined(CORVANE_SYSTEM_CONVERSION)
  EXPECT_EQ(r.out.find("system"), std::string::npos);
  EXPECT_NE(r.out.find("\n10000      macintosh     tables"), std::string::npos);
#elif defined(_WIN32)
  // Windows converts every registered code page whose number it knows, Macintosh Roman too.
  EXPECT_NE(r.out.find("\n1252       iso-8859-1    system"), std::string::npos);
  EXPECT_NE(r.out.find("\n10000      macintosh     system"), std::string::npos);
#else
  EXPECT_NE(r.out.find("\n1252       iso-8859-1    system"), std::string::npos);
  // Macintosh Roman differs between glibc and Mac OS, so it never goes to glibc.
  EXPECT_NE(r.out.find("\n10000      macintosh     tables"), std::string::npos);
#endif
}

TEST(NamesTest, WhatTheNameTableSays) {
  struct Row {
    std::vector<std::string> args;
    int status;
    std::string out;
  };
  const Row rows[] = {
      {{"names", "WINDOWS-31j"},
       0,
       "name: WINDOWS-31j\ncode-page: 932\npreferred-name: Shift_JIS\ncharset: 128 SHIFTJIS\n"
       "registered: yes\n"},
      {{"names", "65001"},
       0,
       "code-page: 65001\npreferred-name: utf-8\ncharset: 0 ANSI\nregistered: no\n"},
      {{"names", "40850"},
       0,
       "code-page: 40850\npreferred-name: -\ncharset: 0 ANSI\nregistered: yes\n"},
      {{"names", "iso88591"}, 1, ""},
      {{"names"}, 2, ""},
  };
  for (const Row& row : rows) {
    const ToolResult r = RunTool(row.args);
    EXPECT_EQ(r.status, row.status) << row.args.back();
    EXPECT_EQ(r.out, row.out);
  }
}

// length over a file in chunks equals CV_StrLength over the whole file.
TEST(LengthTest, ChunkedMeasureEqualsOneShot) {
  struct Row {
    std::uint32_t codePage;
    Bytes bytes;
  };
  const Row rows[] = {
      {932, "\x82\xa0\x41\x82\xa2\x82"},
      {949, "\xb0\xa1\xb0\xa1\xb0"},
      {2022, "A\x1b$B\x30\x21\x30\x21\x30\x21\n\x30\x21\x1b$B\x24\x22\x24"},
      {2022, "\x1b$B\x30\x21\x30\x21\x30\x21\x30\x21\x30\x21\x1b("},
      {65001, "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82"},
      {65001, "ab\x80 more bytes after the invalid one"},
      {1252, "abc\0def"},
      {2023, "\x82\xa0"},  // not resolved: bytes
  };
  const ScratchDirectory dir;
  for (const Row& row : rows) {
    const std::string path = dir.Write("text", row.bytes);
    std::int32_t consumed = 0;
    const std::int32_t characters =
        CV_StrLength(row.codePage, reinterpret_cast<const std::uint8_t*>(row.bytes.data()),
                     static_cast<std::int32_t>(row.bytes.size()), &consumed);
    const std::string expected =
        path + "\t" + std::to_string(characters) + "\t" + std::to_string(consumed) + "\n";
    for (const std::size_t chunk : std::initializer_list<std::size_t>{1, 2, 3, 0}) {
      const ToolResult r = RunTool({"length", "-f", std::to_string(row.codePage), path}, chunk);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, expected) << "code page " << row.codePage << ", chunk size " << chunk;
    }
  }
}

// Bad command lines and files: the status, and a one-line message that names the culprit.
TEST(ErrorsTest, StatusAndMessageNameTheBadArgument) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "text\n");
  struct Row {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Row rows[] = {
      {{}, 2, "usage: corvane COMMAND"},
      {{"transmogrify"}, 2, "unknown command 'transmogrify'"},
      {{"convert", "-f", "klingon", "-t", "utf-8", input}, 2, "unknown charset 'klingon' (-f)"},
      {{"convert", "-f", "utf-8", "-t", "iso8859-1 ", input}, 2, "unknown charset 'iso8859-1 '"},
      {{"convert", "-f", "utf-8", "-t", "auto-ja", input}, 2, "auto-ja can only be a source"},
      {{"convert", "-f", "utf-8", "-t", "54321", input}, 2, "code page 54321 ('54321', -t)"},
      {{"convert", "-t", "utf-8", input}, 2, "missing -f FROM"},
      {{"convert", "-f", "utf-8", "-t", "utf-8", "--frobnicate"}, 2, "unknown option"},
      {{"convert", "-f", "utf-8", "-t", "utf-8", "-o"}, 2, "option '-o' needs a value"},
      {{"convert", "-f", "utf-8", "-t", "utf-8", dir.Path("missing")},
       1,
       "cannot read " + dir.Path("missing") + ": No such file or directory"},
      {{"convert", "-f", "utf-8", "-t", "utf-8", dir.Path("")}, 1, "Is a directory"},
      {{"convert", "-f", "utf-8", "-t", "utf-8", "-o", dir.Path("no/such/dir"), input},
       1,
       "cannot write " + dir.Path("no/such/dir")},
      {{"detect", dir.Path("missing")}, 1, "cannot read"},
      {{"length", input}, 2, "missing -f CODEPAGE"},
      {{"list", "extra"}, 2, "unexpected argument 'extra'"},
  };
  for (const Row& row : rows) {
    const ToolResult r = RunTool(row.args);
    EXPECT_EQ(r.status, row.status) << row.message;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(FileExists(dir.Path("no")));
#if defined(_WIN32)
  // Windows' MultiByteToWideChar has no UTF-16 code page; the tool says so before reading.
  const ToolResult utf16 = RunTool({"convert", "-f", "1200", "-t", "utf-8", input});
  EXPECT_EQ(utf16.status, 2);
  EXPECT_NE(utf16.err.find("code page 1200 ('1200', -f) cannot be converted from on this system"),
            std::string::npos)
      << utf16.err;
#endif
}

TEST(ErrorsTest, EveryCommandHasHelp) {
  for (const char* command : {"convert", "detect", "list", "names", "length"}) {
    const ToolResult r = RunTool({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("usage: corvane ") + command, 0), 0u) << r.out;
  }
  EXPECT_EQ(RunTool({"--help"}).status, 0);
}

}  // namespace
}  // namespace corvane_cli_test
