// Which Windows code pages the POSIX backend hands to glibc's iconv, and under which names.
//
// A code page is here only when glibc converts it as Windows does. Each was checked against the
// published mapping data that Python's standard `encodings` package carries (the Unicode
// Consortium's and Microsoft's tables): every byte and, for double-byte pages, every two-byte
// sequence decoded, and every BMP character encoded, by both.
//
// In, identical to the published mapping in both directions: the DOS code pages 437, 737, 775,
// 850, 852, 855, 857, 858, 860-866, 869; EBCDIC 037 and 500; Windows 874 and 1250-1254, 1256,
// 1257; 949 (glibc UHC); 10029 (Mac Central European); 20127; KOI8-R and KOI8-U (20866, 21866);
// ISO 8859-1 to 8859-9, 8859-13 and 8859-15 (28591-28599, 28603, 28605) and 38598 (8859-8 in
// logical order). In, with differences that Windows shares or that touch no text:
// - 932 (glibc CP932 = Windows-31J): the stray single bytes 0x80, 0xA0 and 0xFD-0xFF, which
//   Windows maps to U+0080 and private-use characters, are invalid (U+FFFD). glibc encodes
//   U+00A5, U+203E and U+2014 as 0x5C, 0x7E and 0x815C, as Windows' best fit does, and encodes the
//   IBM extension characters with their 0xFA-0xFC codes, not the NEC-selected 0xED/0xEE ones, as
//   Windows does.
// - 936 (glibc GBK): equal to Microsoft's CP936, euro sign at 0x80 included.
// - 950 (glibc BIG5, its CP950): equal to Microsoft's CP950 (0xA145 U+2027, 0xA3E1 euro sign, the
//   0xF9D6-0xF9FE extension), and 0xC6A1-0xC8FE decode to Windows' end-user-defined characters
//   U+F6B1-U+F848 (Python's codec has ETEN's kana there).
// - 1140 (EBCDIC with euro): glibc also encodes U+203E, one way, as 0xBC.
// - 1258 (Vietnamese): the bytes map as published, but glibc composes a base letter and a
//   following combining mark into the precomposed letter when decoding and decomposes letters the
//   page lacks into base and mark when encoding; the text is canonically equivalent.
// - 10007 (glibc CP10007): Microsoft's Mac Cyrillic, 0xA2 U+00A2 and 0xFF U+00A4, where Apple's
//   later table has U+0490 and the euro sign.
// - 51949 (glibc EUC-KR): KS X 1001 as published; the single bytes 0x80-0xA0 decode as C1
//   controls, and no Hangul syllable outside KS X 1001 is spelt with the eight-byte jamo form.
// - 54936 (glibc GB18030): the current edition of GB 18030, so 25 codes that the 2000 edition
//   left in private use decode to their standard characters.
// - 1200, 1201, 12000, 12001: UTF-16 and UTF-32 of either byte order.
// Left out because the library converts them itself, whatever the system could do: 51932 and
// 2022 (through Shift_JIS) and 65001 (its own codec).
// Out, because glibc's charset of that name maps text differently from Windows:
// - 1255: glibc composes Hebrew letters and points into presentation forms (0xE9 0xC4 becomes
//   U+FB1D); the library's own 1255 table converts instead.
// - 10000: glibc's MACINTOSH has U+0394 at 0xC6 and U+E01E at 0xF0 where Mac OS Roman has U+2206
//   and U+F8FF; the library's own 10000 table converts instead.
// - 10008: Windows' 10008 is Mac Simplified Chinese, which glibc lacks (the library's 10008 is
//   its own Mac Hebrew table).
// - 10079 (glibc MAC-IS differs in 12 bytes), 1361 (glibc JOHAB maps 0x5C to U+20A9 and lacks
//   the fill codes), 875, 1026, 20273 and 20424 (EBCDIC tables that differ in several bytes).
// - 50220: glibc's ISO-2022-JP follows the JIS standard where Windows follows its 932 table
//   (0x2141 is U+301C, not U+FF5E, so U+FF5E cannot be encoded) and lacks NEC row 13.
// - 65000: glibc's UTF-7 rejects control bytes, the terminating 0 byte included, which Windows
//   passes through.
// - 52936 (HZ) and 720 (DOS Arabic): glibc has no such charset.
#include "platform/posix/system_charsets.h"

#include <algorithm>
#include <iterator>

#include "platform/platform.h"
#include "platform/posix/iconv_descriptor.h"

namespace corvane::platform {
namespace posix {
namespace {

using enum ByteShape;

// Sorted by code page, for the binary search below.
constexpr SystemCharset kSystemCharsets[] = {
    {37, "IBM037", kSingleByte},
    {437, "IBM437", kSingleByte},
    {500, "IBM500", kSingleByte},
    {737, "CP737", kSingleByte},
    {775, "IBM775", kSingleByte},
    {850, "IBM850", kSingleByte},
    {852, "IBM852", kSingleByte},
    {855, "IBM855", kSingleByte},
    {857, "IBM857", kSingleByte},
    {858, "IBM858", kSingleByte},
    {860, "IBM860", kSingleByte},
    {861, "IBM861", kSingleByte},
    {862, "IBM862", kSingleByte},
    {863, "IBM863", kSingleByte},
    {864, "IBM864", kSingleByte},
    {865, "IBM865", kSingleByte},
    {866, "IBM866", kSingleByte},
    {869, "IBM869", kSingleByte},
    {874, "CP874", kSingleByte},
    {932, "CP932", kShiftJis},
    {936, "GBK", kLead81},
    {949, "UHC", kLead81},
    {950, "BIG5", kLead81},
    {1140, "IBM1140", kSingleByte},
    {1200, "UTF-16LE", kUtf16},
    {1201, "UTF-16BE", kUtf16},
    {1250, "CP1250", kSingleByte},
    {1251, "CP1251", kSingleByte},
    {1252, "CP1252", kSingleByte},
    {1253, "CP1253", kSingleByte},
    {1254, "CP1254", kSingleByte},
    {1256, "CP1256", kSingleByte},
    {1257, "CP1257", kSingleByte},
    {1258, "CP1258", kSingleByte},
    {10007, "CP10007", kSingleByte},
    {10029, "MAC-CENTRALEUROPE", kSingleByte},
    {12000, "UTF-32LE", kUtf32},
    {12001, "UTF-32BE", kUtf32},
    {20127, "ANSI_X3.4-1968", kSingleByte},
    {20866, "KOI8-R", kSingleByte},
    {21866, "KOI8-U", kSingleByte},
    {28591, "ISO-8859-1", kSingleByte},
    {28592, "ISO-8859-2", kSingleByte},
    {28593, "ISO-8859-3", kSingleByte},
    {28594, "ISO-8859-4", kSingleByte},
    {28595, "ISO-8859-5", kSingleByte},
    {28596, "ISO-8859-6", kSingleByte},
    {28597, "ISO-8859-7", kSingleByte},
    {28598, "ISO-8859-8", kSingleByte},
    {28599, "ISO-8859-9", kSingleByte},
    {28603, "ISO-8859-13", kSingleByte},
    {28605, "ISO-8859-15", kSingleByte},
    {38598, "ISO-8859-8", kSingleByte},
    {51949, "EUC-KR", kLead81},
    {54936, "GB18030", kLead81},
};

constexpr bool CodePageBefore(const SystemCharset& a, const SystemCharset& b) {
  return a.codePage < b.codePage;
}
static_assert(std::is_sorted(std::begin(kSystemCharsets), std::end(kSystemCharsets),
                             CodePageBefore) &&
                  std::adjacent_find(std::begin(kSystemCharsets), std::end(kSystemCharsets),
                                     [](const SystemCharset& a, const SystemCharset& b) {
                                       return a.codePage == b.codePage;
                                     }) == std::end(kSystemCharsets),
              "kSystemCharsets must be sorted by code page without repeats");

}  // namespace

const SystemCharset* FindSystemCharset(std::uint32_t codePage) {
  if (!kSystemConversionBuilt) return nullptr;
  const SystemCharset* const found = std::lower_bound(
      std::begin(kSystemCharsets), std::end(kSystemCharsets), codePage,
      [](const SystemCharset& row, std::uint32_t key) { return row.codePage < key; });
  if (found == std::end(kSystemCharsets) || found->codePage != codePage) return nullptr;
  return found;
}

const SystemCharset* FindConversionCharset(std::uint32_t codePage) {
  constexpr std::uint32_t kAnsiCodePageRequest = 0;  // CP_ACP
  return FindSystemCharset(codePage == kAnsiCodePageRequest ? AnsiCodePage() : codePage);
}

}  // namespace posix

bool IsValidCodePage(std::uint32_t codePage) {
  const posix::SystemCharset* const charset = posix::FindSystemCharset(codePage);
  if (charset == nullptr) return false;
  // The charset must open in both directions: a glibc without this gconv module, or with only
  // one direction of it, cannot stand in for the system.
  const posix::IconvDescriptor toWide(posix::kWideCharset, charset->iconvName);
  const posix::IconvDescriptor toBytes(charset->iconvName, posix::kWideCharset);
  return toWide.IsOpen() && toBytes.IsOpen();
}

}  // namespace corvane::platform
