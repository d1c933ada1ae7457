// The services of the operating system that the library uses, under names of our own. Everything
// else in the library calls these instead of the system, so that one backend per system is the
// only code that knows which system it runs on:
//   posix/    Linux and other POSIX systems: the locale environment and glibc iconv (default);
//   win32/    Windows: the system's own services of the same names (KERNEL32), handed the
//             arguments unchanged, so each function answers exactly as Windows does;
//   tests/    a test double whose answers the unit tests set (see tests/support/).
// CMakeLists.txt compiles posix/ or win32/ by the target system.
// Each function is safe to call from any number of threads at once.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace corvane::platform {

// The system's ANSI code page, as GetACP gives it.
// POSIX: from the environment's locale (LC_ALL, else LC_CTYPE, else LANG), mapped by language
// and territory the way Windows maps a system locale to its ANSI code page; 1252 otherwise.
// Windows: GetACP.
std::uint32_t AnsiCodePage();

// The calling thread's Windows language identifier (low 16 bits of GetThreadLocale): primary
// language in the low 10 bits, sublanguage in the next 6.
// POSIX: from the thread's own locale when it has one (uselocale), else from the environment's.
// Windows: LANGIDFROMLCID(GetThreadLocale()).
std::uint16_t ThreadLanguage();

// Whether the system converts this code page (IsValidCodePage).
// POSIX: true exactly for the Windows code page numbers that the backend maps to an iconv
// charset that iconv can open. Windows: IsValidCodePage. Both: always false when built without
// system conversion.
bool IsValidCodePage(std::uint32_t codePage);

// MultiByteToWideChar with the given flags (the library always passes 0). Code page 0 is the
// ANSI code page, as on Windows.
//   src     in   bytes in codePage, caller-owned
//   srcLen  in   byte count; -1 = ends at the first 0 byte, which is converted and counted (in
//                UTF-16 and UTF-32 code pages too, where it may be half of a code unit)
//   dst     out  UTF-16 units; not touched when dstCap is 0
//   dstCap  in   capacity in units; 0 = return the units needed
//   returns      units written (or needed); 0 for an unknown code page or too small a dst.
// Invalid input becomes U+FFFD; it never fails the call. POSIX: platform/posix/system_decode.cpp
// says how much input one U+FFFD replaces. Windows: MultiByteToWideChar itself (which may put the
// code page's own default character, such as U+30FB for 932, in place of U+FFFD). Both: 0 for
// every call when built without system conversion.
std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                                 std::int32_t dstCap);

// WideCharToMultiByte with the caller's flags, default character and default-used flag. Code
// page 0 is the ANSI code page, as on Windows.
//   src          in   UTF-16 units, caller-owned
//   srcLen       in   unit count; -1 = ends at the first 0 unit, which is converted and counted
//   dst          out  bytes; not touched when dstCap is 0
//   dstCap       in   capacity in bytes; 0 = return the bytes needed
//   defaultChar  in   replaces characters the code page lacks; null = '?'
//   defaultUsed  out  may be null; set to 1 when defaultChar was used, else 0
//   returns           bytes written (or needed); 0 for an unknown code page or too small a dst.
// POSIX: platform/posix/system_encode.cpp says how characters the code page lacks are replaced.
// Windows: WideCharToMultiByte itself, whose flags and "best fit" replacements then apply. Both:
// 0 for every call when built without system conversion.
std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                                 std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                                 const char* defaultChar, std::int32_t* defaultUsed);

}  // namespace corvane::platform
