// The C++ interface through its public header: names, the standard mappings of each family, what
// each OnError does with faults and where it says they are, byte order marks, and streaming that
// gives the one-call result however the input is cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "corvane.hpp"

namespace {

using corvane::Encoding;
using corvane::Error;
using corvane::OnError;
using corvane::Options;
using corvane::Report;

TEST(CxxNames, FindTheEncodingsPeopleType) {
  struct Row {
    const char* typed;
    const char* name;
    std::uint32_t codePage;
  };
  const Row rows[] = {
      {"SJIS", "Shift_JIS", 932},
      {"windows-31j", "Shift_JIS", 932},
      {"CP1251", "windows-1251", 1251},
      {"iso8859-5", "ISO-8859-5", 28595},
      {"ISO_8859-15", "ISO-8859-15", 28605},
      {"utf8", "UTF-8", 65001},
      {"UTF-16be", "UTF-16BE", 1201},
      {"GB2312", "GBK", 936},
      {"gb18030", "GB18030", 54936},
      {"ks_c_5601-1987", "EUC-KR", 949},
      {"UHC", "EUC-KR", 949},
      {"866", "IBM866", 866},
      {"cp866", "IBM866", 866},
      {"latin1", "ISO-8859-1", 28591},
      {"ASCII", "US-ASCII", 20127},
      {"Big5", "Big5", 950},
  };
  for (const Row& row : rows) {
    const Encoding e(row.typed);
    EXPECT_EQ(e.name(), row.name) << row.typed;
    EXPECT_EQ(e.code_page(), row.codePage) << row.typed;
    EXPECT_EQ(Encoding(row.codePage), e) << row.typed;
  }
  EXPECT_EQ(Encoding(2022u).name(), "ISO-2022-JP");  // the C interface's number for it
  EXPECT_FALSE(Encoding::find("klingon"));
  EXPECT_FALSE(Encoding::find("--"));
  try {
    Encoding e("klingon");
    FAIL() << "found " << e.name();
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), Error::Kind::unknown_encoding);
    EXPECT_NE(std::string(e.what()).find("\"klingon\""), std::string::npos) << e.what();
  }
  EXPECT_THROW(Encoding(12345u), Error);
  EXPECT_GT(Encoding::all().size(), 60u);
}

// Bytes and the text they stand for, both ways unless `oneWay`.
TEST(CxxMappings, EachFamilyGivesTheStandardMapping) {
  struct Row {
    const char* encoding;
    std::string bytes;
    std::u16string text;
    bool oneWay = false;
  };
  const Row rows[] = {
      {"windows-1252", std::string("\x80\xE9\0", 3), std::u16string(u"€é\0", 3)},
      {"ISO-8859-5", "\xB0\xEF", u"Ая"},
      {"ISO-8859-1", "\x80\xFF", u"\u0080ÿ"},
      {"KOI8-R", "\xC1\xE1", u"аА"},
      {"IBM866", "\x80\xA0", u"Аа"},
      {"IBM037", "\xC1\x6F", u"A?"},
      {"Shift_JIS", "a\x82\xA0\x87\x40\xB1", u"aあ①ｱ"},
      {"EUC-JP", "\xA4\xA2\x8E\xB1\x8F\xB0\xA1", u"あｱ丂"},
      {"ISO-2022-JP", "\x1B$B$\"\x1B(J\\\x1B(B\\", u"あ¥\\"},
      {"ISO-2022-JP", "\x1B(J\\a\x1B(B", u"¥a"},  // Roman has the other ASCII letters
      {"GB18030", "\xB0\xA1\x81\x30\x81\x39\x95\x32\x82\x36", u"啊\u0089\U00020000"},
      {"GBK", "\xB0\xA1", u"啊"},
      {"Big5", "\xA4\x40", u"一"},
      {"EUC-KR", "\xB0\xA1\x81\x41", u"가갂"},
      {"UTF-8", "\xF0\x9F\x98\x80\xC3\xA9", u"😀é"},
      {"UTF-16LE", std::string("a\0=\xD8\x00\xDE", 6), u"a😀"},
      {"UTF-16BE", std::string("\0a", 2), u"a"},
      {"UTF-16", std::string("\xFE\xFF\0a", 4), u"a"},
      {"UTF-16",
       std::string("\xFF\xFE"
                   "a\0",
                   4),
       u"a", true},
      {"UTF-16", std::string("\0a", 2), u"a", true},
      {"UTF-32LE", std::string("\0\xF6\x01\0", 4), u"😀"},
      {"UTF-32", std::string("\0\0\xFE\xFF\0\0\0a", 8), u"a"},
  };
  const Options strict{.on_error = OnError::strict};
  for (const Row& row : rows) {
    const Encoding e(row.encoding);
    EXPECT_EQ(corvane::decode(row.bytes, e, strict), row.text) << row.encoding;
    if (!row.oneWay) {
      EXPECT_EQ(corvane::encode(row.text, e, strict), row.bytes) << row.encoding;
    }
  }
}

// n letters а in windows-1251, and as UTF-16.
std::string Cyrillic(std::size_t n) {
  return std::string(n, '\xE0');
}
std::u16string Cyrillic16(std::size_t n) {
  return std::u16string(n, u'\u0430');
}

// Malformed input: each U+FFFD of `replaced` is one fault; skipping leaves them out, strict
// decoding throws at the first.
TEST(CxxFaults, MalformedInputUnderEachPolicy) {
  struct Row {
    const char* encoding;
    std::string bytes;
    std::u16string replaced;
    std::size_t first;
  };
  const Row rows[] = {
      {"UTF-8",
       "a\xC0\x80"
       "b",
       u"a\uFFFD\uFFFDb", 1},  // overlong: lead and stray byte
      {"UTF-8", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD", 0},
      {"UTF-8", "x\xED\xA0\x80", u"x\uFFFD\uFFFD\uFFFD", 1},  // an encoded surrogate
      {"UTF-8", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", 0},
      {"UTF-8", "ab\xF0\x9F\x98", u"ab\uFFFD", 2},  // cut off: one fault
      {"UTF-8",
       "\xE3\x81"
       "a",
       u"\uFFFDa", 0},
      {"Shift_JIS", "\x82 x", u"\uFFFD x", 0},    // a lead byte before ASCII
      {"Shift_JIS", "\x85\x40", u"\uFFFD@", 0},   // an empty row: the ASCII byte stays
      {"Shift_JIS", "a\xEB\xA0", u"a\uFFFD", 1},  // no character: the pair goes
      {"EUC-JP", "\x8F\xA1", u"\uFFFD\uFFFD", 0},
      {"EUC-JP",
       "\x8F\xFE\xA1"
       "a",
       u"\uFFFDa", 0},  // a JIS X 0212 triple without a character goes whole
      {"EUC-JP",
       "b\x8F\xA1\xA1"
       "a",
       u"b\uFFFDa", 1},
      {"EUC-JP",
       "\xA4"
       "a",
       u"\uFFFDa", 0},
      {"GB18030", "\x84\x31\xA5\x30", u"\uFFFD", 0},  // past the last BMP form
      {"GB18030", "\x81\x30\x41", u"\uFFFD0A", 0},
      {"GB18030", "\x81\x7F\x81\x30", u"\uFFFD\x7F\uFFFD0", 0},
      {"GBK", "\xFF", u"\uFFFD", 0},
      {"ISO-2022-JP", "\x1B(Zab", u"\uFFFD(Zab", 0},
      {"ISO-2022-JP", "\x1B$Bx", u"\uFFFD", 3},
      {"ISO-2022-JP", "a\x80", u"a\uFFFD", 1},
      {"UTF-16LE", std::string("a\0\0\xD8", 4), u"a\uFFFD", 2},
      {"UTF-16BE", std::string("\xDC\0\0a\0", 5), u"\uFFFDa\uFFFD", 0},
      {"UTF-32BE", std::string("\0\x11\0\0", 4), u"\uFFFD", 0},
      {"US-ASCII", "a\x80", u"a\uFFFD", 1},
      {"windows-1252", "\x81", u"\uFFFD", 0},
      // Long enough for the stretches a table is read in: faults in the first and the last.
      {"windows-1251", Cyrillic(10) + "\x98" + Cyrillic(139) + "\x98" + Cyrillic(41),
       Cyrillic16(10) + u"\uFFFD" + Cyrillic16(139) + u"\uFFFD" + Cyrillic16(41), 10},
  };
  for (const Row& row : rows) {
    const Encoding e(row.encoding);
    std::u16string skipped = row.replaced;
    std::erase(skipped, u'\uFFFD');
    const auto faults = static_cast<std::size_t>(row.replaced.size() - skipped.size());
    Report report;
    EXPECT_EQ(corvane::decode(row.bytes, e, {}, &report), row.replaced) << row.encoding;
    EXPECT_EQ(report.replaced, faults) << row.encoding;
    EXPECT_EQ(report.first, row.first) << row.encoding;
    EXPECT_EQ(corvane::decode(row.bytes, e, {.on_error = OnError::skip}), skipped);
    try {
      corvane::decode(row.bytes, e, {.on_error = OnError::strict});
      ADD_FAILURE() << row.encoding << " took malformed input";
    } catch (const Error& error) {
      EXPECT_EQ(error.kind(), Error::Kind::malformed);
      EXPECT_EQ(error.offset(), row.first) << row.encoding << ": " << error.what();
    }
  }
}

// Characters an encoding lacks, and lone surrogates; offsets are in units.
TEST(CxxFaults, UnmappableTextUnderEachPolicy) {
  struct Row {
    const char* encoding;
    std::u16string text;
    std::string replaced;
    std::string skipped;
    std::size_t first;
  };
  const Row rows[] = {
      {"KOI8-R", u"aé", "a?", "a", 1},
      {"IBM037", u"A€", "\xC1\x6F", "\xC1", 1},  // the EBCDIC question mark
      {"Shift_JIS", u"x😀y", "x?y", "xy", 1},     // a pair is one character
      {"GBK", u"😀", "?", "", 0},
      {"ISO-2022-JP", u"あé", "\x1B$B$\"\x1B(B?", "\x1B$B$\"\x1B(B", 1},
      {"UTF-8",
       u"a\xD800"
       "b",
       "a\xEF\xBF\xBD"
       "b",
       "ab", 1},
      {"UTF-16LE", u"\xDC00", std::string("\xFD\xFF", 2), "", 0},
      {"UTF-8", u"ab\xD83D", "ab\xEF\xBF\xBD", "ab", 2},  // a high surrogate at the end
  };
  for (const Row& row : rows) {
    const Encoding e(row.encoding);
    Report report;
    EXPECT_EQ(corvane::encode(row.text, e, {}, &report), row.replaced) << row.encoding;
    EXPECT_EQ(report.replaced, 1u) << row.encoding;
    EXPECT_EQ(report.first, row.first) << row.encoding;
    EXPECT_EQ(corvane::encode(row.text, e, {.on_error = OnError::skip}), row.skipped);
    try {
      corvane::encode(row.text, e, {.on_error = OnError::strict});
      ADD_FAILURE() << row.encoding << " encoded what it lacks";
    } catch (const Error& error) {
      EXPECT_EQ(error.kind(), Error::Kind::unmappable);
      EXPECT_EQ(error.offset(), row.first) << row.encoding;
    }
  }
  EXPECT_EQ(corvane::to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");  // one four-byte sequence
}

TEST(CxxConvert, OffsetsAreBytesOfTheInput) {
  const Encoding sjis("Shift_JIS");
  const Encoding koi8("KOI8-R");
  try {
    corvane::convert("ab\x82\xA0", sjis, koi8, {.on_error = OnError::strict});
    FAIL() << "converted あ to KOI8-R";
  } catch (const Error& e) {
    EXPECT_EQ(e.offset(), 2u);
    EXPECT_NE(std::string(e.what()).find("at byte 2"), std::string::npos) << e.what();
  }
  Report report;
  EXPECT_EQ(corvane::convert("\x82\xA0z\xFF", sjis, koi8, {}, &report), "?z?");
  EXPECT_EQ(report.replaced, 2u);
  EXPECT_EQ(report.first, 0u);
}

TEST(CxxByteOrderMarks, ReadAndWrittenOnRequest) {
  const Options bom{.bom = true};
  EXPECT_EQ(corvane::decode("\xEF\xBB\xBF\xC3\xA9", Encoding("windows-1252"), bom), u"é");
  EXPECT_EQ(corvane::decode(std::string("\xFF\xFE"
                                        "a\0",
                                        4),
                            Encoding("UTF-8"), bom),
            u"a");
  EXPECT_EQ(corvane::decode("\xEF\xBB\xBF"
                            "a",
                            Encoding("UTF-8")),
            u"\uFEFFa");
  EXPECT_EQ(corvane::decode("\xEF\xBB", Encoding("windows-1252"), bom), u"ï»");
  EXPECT_EQ(corvane::decode(std::string("\xFF\xFE\0\0"
                                        "a\0\0\0",
                                        8),
                            Encoding("UTF-32BE"), bom),
            u"a");
  EXPECT_EQ(corvane::encode(u"a", Encoding("UTF-16LE"), bom), std::string("\xFF\xFE"
                                                                          "a\0",
                                                                          4));
  EXPECT_EQ(corvane::encode(u"a", Encoding("UTF-8"), bom),
            "\xEF\xBB\xBF"
            "a");
  EXPECT_EQ(corvane::encode(u"a", Encoding("windows-1252"), bom), "a");
  EXPECT_EQ(corvane::encode(u"a", Encoding("UTF-16")), std::string("\xFE\xFF\0a", 4));
}

// Text of every kind, with faults between, long enough for the bulk kernels: converted in one
// call (kernels and the character rule) and in pieces of 1 to 7 (the rule alone), it must come
// out the same in every encoding.
TEST(CxxStreaming, PiecesOfAnySizeGiveTheOneCallResult) {
  std::u16string text;
  for (int k = 0; k < 40; ++k) {
    text += u"Grüße, мир; 日本語のテキスト、ｶﾀｶﾅ ¥‾ 한국어 中文 😀 ";
    if (k % 9 == 4) text += u'\xD800';
  }
  for (const Encoding& e : Encoding::all()) {
    for (const Options options : {Options{}, Options{.on_error = OnError::skip, .bom = true}}) {
      std::string bytes = corvane::encode(text, e, options);
      // Bytes few encodings take, and forms UTF-8 forbids but a block of ordinary text around
      // them would let through, each after a space so that a kernel meets them whole.
      const auto after_space = [&](std::size_t from) {
        return std::min(bytes.size(), bytes.find(' ', from) + 1);
      };
      bytes.insert(after_space(bytes.size() / 4), "\xFF\x80\x1B");
      bytes.insert(after_space(bytes.size() / 2), "\xC0\x80\xED\xA0\x80\xE0\x9F\xBF");
      Report whole;
      const std::u16string decoded = corvane::decode(bytes, e, options, &whole);
      Report encodedWhole;
      const std::string encoded = corvane::encode(text, e, options, &encodedWhole);
      for (std::size_t piece = 1; piece <= 7; piece += 2) {
        corvane::Decoder decoder(e, options);
        std::u16string pieces;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
          decoder.decode(std::string_view(bytes).substr(at, piece), pieces);
        }
        decoder.finish(pieces);
        EXPECT_EQ(pieces, decoded) << e.name() << " in pieces of " << piece;
        EXPECT_EQ(decoder.report().first, whole.first) << e.name();
        corvane::Encoder encoder(e, options);
        std::string out;
        for (std::size_t at = 0; at < text.size(); at += piece) {
          encoder.encode(std::u16string_view(text).substr(at, piece), out);
        }
        encoder.finish(out);
        EXPECT_EQ(out, encoded) << e.name() << " in pieces of " << piece;
        EXPECT_EQ(encoder.report().replaced, encodedWhole.replaced) << e.name();
      }
    }
  }
}

}  // namespace
