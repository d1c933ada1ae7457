// Charset names (the labels that encoded text carries, such as "Shift_JIS" or "iso-8859-1") and
// their code page numbers, and the GDI character set of a code page.
//
// Table format: CharsetNameTable is a constant array of rows, each a NUL-terminated name in a
// 20-byte field and a code page number, ended by a row whose code page is kCharsetNameTerminator
// and whose name is empty. The rows of one code page are consecutive; the first of them carries
// the preferred name. None of these functions consults the registry or resolves pseudo code
// pages: they work on the number they are given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

inline constexpr std::size_t kCharsetNameSize = 20;  // bytes, terminating NUL included
inline constexpr std::uint32_t kCharsetNameTerminator = 0xFFFFFFFFu;

struct CharsetNameRow {
  char name[kCharsetNameSize];
  std::uint32_t codePage;
};

// Every row, the terminator row last; CharsetNameTableRows counts the terminator.
extern const CharsetNameRow CharsetNameTable[];
extern const std::size_t CharsetNameTableRows;

// Copies the preferred name of codePage into name.
//   codePage  in   looked up as given
//   name      out  chars, caller-owned, room for kCharsetNameSize; only the name and its NUL are
//                  written; untouched when the result is 0; null = write nothing, answer 0
//   returns        1 when the code page has a name (copied), 0 otherwise
std::int32_t CodePageIDToName(std::uint32_t codePage, char* name);

// The code page of the first row whose name equals name, ignoring ASCII letter case only. The
// whole name must match: no prefix, no trimming.
//   name     in   NUL-terminated chars, caller-owned; null answers 0
//   returns       code page; 0 when no name matches (also the number of the ANSI pseudo code
//                 page, so 0 alone does not tell the two apart)
std::uint32_t CodePageNameToID(const char* name);

// The Windows GDI character set that fonts for codePage carry: 128 for 932, 134 for 936, 129 for
// 949, 136 for 950 and 0 (ANSI_CHARSET) for every other number, pseudo code pages included.
std::uint32_t GetCharSet(std::uint32_t codePage);

}  // namespace corvane
