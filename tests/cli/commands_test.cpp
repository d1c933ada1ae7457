// corvane detect in chunks against one call of corvane::detect over each file, and the status,
// output and message of every command, length's counts among them.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "corvane.h"
#include "corvane.hpp"
#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

// Files read in chunks give the lines one call over each whole file gives (random files over
// the bytes that tell the candidates apart, and line ends).
TEST(DetectTest, ChunkedDetectionEqualsOneCall) {
  const ScratchDirectory dir;
  Args args = {"detect"};
  std::string expected;
  std::mt19937 random(7);
  for (int i = 0; i < 100; ++i) {
    const Bytes bytes = RandomText(random, "\x1b$B\x41\x80\x82\xa0\xa4\xa2\xe0\xa1\xb1\xff\n", 24);
    args.push_back(dir.Write("text" + std::to_string(i), bytes));
    const corvane::Detection d = corvane::detect(bytes);
    char line[64];
    std::snprintf(line, sizeof line, "\t%s\t%.2f\t%d\n", std::string(d.encoding.name()).c_str(),
                  d.confidence, d.sure ? 1 : 0);
    expected += args.back() + line;
  }
  ExpectAtChunkSizes(args, expected);
}

// Each row at the tool's own chunk size and at chunks of 1 and 3 bytes: the exit status, a piece
// of standard output and a piece of standard error, the one-line message that names the culprit.
TEST(CommandsTest, StatusOutputAndMessage) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "text\n"), samples = CORVANE_SAMPLES;
  const std::string mail = samples + "/mail.iso2022jp.eml";
  const std::string manual = samples + "/automake-options.sjis.txt";
  const std::string bad = dir.Write("bad", "good text\n\x80 then more text after it\n");
  const std::string out = dir.Write("out", "keep me");
  int texts = 0;
  const auto length = [&](const char* codePage, const Bytes& text) {
    return Args{"length", "-f", codePage, dir.Write("text" + std::to_string(texts++), text)};
  };
  const auto convert = [](Args args) {
    args.insert(args.begin(), {"convert", "-f", "utf-8", "-t", "utf-8"});
    return args;
  };
  const Bytes binary = "a\r\nb\nc\x1a z\r\n\r";
  const Bytes binary16("a\0\r\0\n\0b\0\n\0c\0\x1a\0 \0z\0\r\0\n\0\r\0", 24);
  const struct {
    Args args;
    int status;
    Bytes out, err, in = "";
  } rows[] = {
    // clang-format off
      // names: what the name table says.
      {{"names", "WINDOWS-31j"}, 0, "name: WINDOWS-31j\ncode-page: 932\npreferred-name: Shift_JIS\n"
       "charset: 128 SHIFTJIS\nregistered: yes\n", ""},
      {{"names", "65001"}, 0, "code-page: 65001\npreferred-name: utf-8\ncharset: 0 ANSI\n"
       "registered: no\n", ""},
      {{"names", "iso88591"}, 1, "", "no charset is named 'iso88591'"},
      // list: every encoding convert takes, with its code page and names.
      {{"list"}, 0, "\n932       Shift_JIS         ", ""},
      {{"list"}, 0, "\n28595     ISO-8859-5        ", ""},
      {{"list"}, 0, "\n-         UTF-16            UTF16, csUTF16\n", ""},
      // detect and convert: the samples, and standard input as "-".
      {{"detect", mail, manual}, 0, mail + "\tISO-2022-JP\t1.00\t1\n" + manual +
       "\tShift_JIS\t1.00\t1\n", ""},
      {{"detect", "-"}, 0, "-\tEUC-JP\t", "", "\xa4\xa2"},
      {{"convert", "-f", "auto", "-t", "utf-8", mail, manual}, 0,
       ConvertOnce("ISO-2022-JP", "UTF-8", ReadFile(mail)) +
           ConvertOnce("Shift_JIS", "UTF-8", ReadFile(manual)),
       ""},
      // Standard input and output carry every byte as it is: no line-end translation and no end
      // of text at Ctrl-Z, as text streams on Windows would have.
      {{"convert", "-f", "latin1", "-t", "utf-16le"}, 0, binary16, "", binary},
      {{"convert", "-f", "utf-16le", "-t", "latin1"}, 0, binary, "", binary16},
      // length: whole characters, an unfinished one left out; ISO-2022-JP's mode carried over
      // chunks; 2023 not resolved, so bytes.
      {length("932", "\x82\xa0\x41\x82\xa2\x82"), 0, "\t3\t5\n", ""},
      {length("2022", "A\x1b$B\x30\x21\x30\x21\x30\x21\n\x30\x21\x1b$B\x24\x22\x24"), 0,
       "\t8\t18\n", ""},
      {length("2022", "\x1b$B\x30\x21\x30\x21\x30\x21\x30\x21\x30\x21\x1b("), 0, "\t5\t13\n", ""},
      {length("65001", "a\xf0\x9f\x98\x80\xc3\xa9\xe2\x82"), 0, "\t5\t7\n", ""},
      {length("65001", "ab\x80 more bytes after the invalid one"), 0, "\t3\t2\n", ""},
      {length("2023", "\x82\xa0"), 0, "\t2\t2\n", ""},
      // Input that cannot be converted stops a strict conversion; the file at -o stays as it was.
      {convert({"--strict", "-o", out, bad}), 1, "", "malformed UTF-8 at byte 10"},
      // Help, bad command lines and files.
      {{"--help"}, 0, "usage: corvane COMMAND", ""},
      {{}, 2, "", "usage: corvane COMMAND"},
      {{"transmogrify"}, 2, "", "unknown command 'transmogrify'"},
      {{"convert", "-f", "klingon", "-t", "utf-8", input}, 2, "", "unknown encoding 'klingon' (-f)"},
      {{"convert", "-f", "utf-8", "-t", "54321", input}, 2, "", "unknown encoding '54321' (-t)"},
      {{"convert", "-t", "utf-8", input}, 2, "", "missing -f FROM"},
      {convert({"--frobnicate"}), 2, "", "unknown option"},
      {convert({"-o"}), 2, "", "option '-o' needs a value"},
      {convert({dir.Path("missing")}), 1, "", "cannot read " + dir.Path("missing") + ": No such"},
      {convert({dir.Path("")}), 1, "", "Is a directory"},
      {convert({"-o", dir.Path("no/dir"), input}), 1, "", "cannot write " + dir.Path("no/dir")},
      {{"detect", dir.Path("missing")}, 1, "", "cannot read"},
      {{"length", input}, 2, "", "missing -f CODEPAGE"},
      {{"list", "extra"}, 2, "", "unexpected argument 'extra'"},
      {{"names"}, 2, "", "expected one CODEPAGE or NAME"},
#if defined(_WIN32)
      // A device is written to, never replaced.
      {convert({"-o", "NUL", input}), 0, "", ""},
#endif
    // clang-format on
  };
  for (const auto& row : rows) {
    for (const std::size_t chunk : {0u, 1u, 3u}) {
      const ToolResult r = RunTool(row.args, chunk, row.in);
      EXPECT_EQ(r.status, row.status) << ::testing::PrintToString(row.args);
      // Outputs may be long: looked for without printing them.
      EXPECT_NE(r.out.find(row.out), Bytes::npos) << ::testing::PrintToString(row.args);
      EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
  }
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(),
            (Args{"bad", "input", "out", "text0", "text1", "text2", "text3", "text4", "text5"}));
  for (const std::string command : {"convert", "detect", "list", "names", "length"})
    EXPECT_TRUE(RunTool({command, "--help"}).out.starts_with("usage: corvane " + command));
}

}  // namespace
}  // namespace corvane_cli_test
