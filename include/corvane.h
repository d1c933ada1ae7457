/* Corvane: character-set conversion between UTF-16 and byte encodings.
 *
 * A flat C interface. Every function is exported by name with the cdecl calling convention.
 * Lengths are signed 32-bit counts; -1 means "ends at the first 0 byte / 0 unit", any other value
 * is an exact count in which 0 is an ordinary character. UTF-16 text is passed as 16-bit units
 * (uint16_t, never wchar_t). A capacity of 0 asks for a count and writes nothing.
 *
 * Code page numbers: Windows numbers where Windows has the code page (932, 1252, 65001, ...);
 * 2022 = ISO-2022-JP; 40850/40852/40861/40862/40866/40869 = DOS 850/852/861/862/866/869;
 * 88591-88599 = ISO 8859-1..9. Pseudo code pages accepted by the two general conversions:
 * 0 = the system ANSI code page, 3 = the code page of the calling thread's locale,
 * 2023 = Japanese auto-detection (ISO-2022-JP, EUC-JP or Shift_JIS).
 */
#ifndef CORVANE_H
#define CORVANE_H

#include <stdint.h>

#if defined(_WIN32)
#define CV_CALL __cdecl
#if defined(CORVANE_BUILDING)
#define CV_API __declspec(dllexport)
#else
#define CV_API __declspec(dllimport)
#endif
#else
#define CV_CALL
#define CV_API __attribute__((visibility("default")))
#endif

/* A font description laid out exactly as Windows' LOGFONTA (60 bytes). On Windows it is the
 * platform's own LOGFONTA; elsewhere the same layout under the name CV_LOGFONTA, so that code
 * written for both can say CV_LOGFONTA. */
#if defined(_WIN32)
#include <windows.h>
typedef LOGFONTA CV_LOGFONTA;
#else
typedef struct CV_LOGFONTA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
} CV_LOGFONTA;
#endif

/* The layout is part of the interface: checked wherever the compiler can (C11 or C++). */
#if defined(__cplusplus)
#define CV_LAYOUT_CHECK_(condition, message) static_assert(condition, message)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define CV_LAYOUT_CHECK_(condition, message) _Static_assert(condition, message)
#endif
#if defined(CV_LAYOUT_CHECK_)
#include <stddef.h>
CV_LAYOUT_CHECK_(sizeof(CV_LOGFONTA) == 60, "CV_LOGFONTA must be 60 bytes");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfHeight) == 0, "lfHeight at 0");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfWidth) == 4, "lfWidth at 4");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfEscapement) == 8, "lfEscapement at 8");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfOrientation) == 12, "lfOrientation at 12");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfWeight) == 16, "lfWeight at 16");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfItalic) == 20, "lfItalic at 20");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfUnderline) == 21, "lfUnderline at 21");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfStrikeOut) == 22, "lfStrikeOut at 22");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfCharSet) == 23, "lfCharSet at 23");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfOutPrecision) == 24, "lfOutPrecision at 24");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfClipPrecision) == 25, "lfClipPrecision at 25");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfQuality) == 26, "lfQuality at 26");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfPitchAndFamily) == 27, "lfPitchAndFamily at 27");
CV_LAYOUT_CHECK_(offsetof(CV_LOGFONTA, lfFaceName) == 28, "lfFaceName at 28");
#undef CV_LAYOUT_CHECK_
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 1 when the library's registry of 33 code pages holds codePage, else 0. Pseudo code pages and
 * code pages converted only by the system (65001, 1200, 874, ...) answer 0. */
CV_API int32_t CV_CALL CV_IsValidCodePage(uint32_t codePage);

/* Guesses the Japanese encoding of bytes[0..length) (length -1: up to the first 0 byte).
 * Returns 2022 (ISO-2022-JP, also the default), 51932 (EUC-JP) or 932 (Shift_JIS).
 * *confident (must not be null) receives 1 when a deciding byte was found, else 0. */
CV_API uint32_t CV_CALL CV_JapaneseAutoDetect(const uint8_t* bytes, int32_t length,
                                              uint32_t* confident);

/* Converts srcLen bytes of src in codePage (-1: up to and including the first 0 byte, in every
 * code page; give UTF-16 and UTF-32 text, 1200, 1201, 12000 and 12001, a count) into at most
 * dstCap UTF-16 units of dst, and returns the
 * units written (the terminator included when written). flags is ignored. dstCap 0 only measures:
 * it returns the characters of the text (plus 1 for a terminator; on 65001 the UTF-16 units plus 1)
 * and writes nothing. ISO-2022-JP (2022) and EUC-JP (51932) are decoded through Shift_JIS, UTF-8
 * (65001) by the library's own decoder; code pages the system converts go to the system, the others
 * to the library's own tables. *consumed (may be null) receives the bytes that form whole
 * characters; a counted source then converts only those, so a caller reading a stream in pieces
 * carries the rest into the next call. *shiftState (may be null) carries the ISO-2022-JP mode (1
 * single-byte, 2 two-byte) from one call to the next under 2022; measuring leaves it alone. Returns
 * 0 when nothing could be converted, for a null src, a null dst with dstCap > 0, and a negative
 * dstCap. */
CV_API int32_t CV_CALL CV_MultiByteToWideChar(uint32_t codePage, uint32_t flags, const uint8_t* src,
                                              int32_t srcLen, uint16_t* dst, int32_t dstCap,
                                              int32_t* consumed, uint32_t* shiftState);

/* Converts srcLen UTF-16 units of src (-1: up to and including the first 0 unit) into at most
 * dstCap bytes of codePage in dst, and returns the bytes written (the terminator included when
 * written). dstCap 0 measures: the text is converted into a scratch buffer of 3 bytes per unit
 * plus 60, and the bytes it took are returned. flags, defaultChar and defaultUsed go to the
 * system's conversion unchanged; the library's own tables drop a character a single-byte code
 * page lacks and write the low byte of one a double-byte code page lacks, and never touch
 * *defaultUsed. Under 2023 the bytes dst holds on entry pick the Japanese encoding. Returns 0 when
 * nothing could be converted, for a null src and for a null dst with dstCap > 0. */
CV_API int32_t CV_CALL CV_WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                                              const uint16_t* src, int32_t srcLen, uint8_t* dst,
                                              int32_t dstCap, const char* defaultChar,
                                              int32_t* defaultUsed);

/* Counts the characters of bytes[0..length) in codePage (length -1: up to the first 0 byte,
 * which then counts as one more character): one per pair on 932, 936, 949, 950 and 51932, one
 * per JIS character on 2022 (escape sequences not counted, always starting in single-byte mode),
 * one per UTF-16 unit plus 1 on 65001, one per byte on every other number; 0, 3 and 2023 are not
 * resolved and count bytes. *consumed (may be null) receives the bytes that form whole
 * characters: an unfinished pair, escape sequence or UTF-8 sequence at the end is left out, so a
 * caller reading a stream in pieces knows what to keep. A null bytes pointer returns -1 on 65001
 * (*consumed -1) and measures as empty elsewhere (0, *consumed 0). */
CV_API int32_t CV_CALL CV_StrLength(uint32_t codePage, const uint8_t* bytes, int32_t length,
                                    int32_t* consumed);

/* Decodes UTF-8 src (srcLen bytes, -1: up to the first 0 byte) into at most dstCap UTF-16 units
 * of dst, always terminated with a 0 unit when dstCap > 0. Returns the units of the decoded text
 * plus 1 for the terminator, in both length modes, whether or not they fit: a result above dstCap
 * means the output was cut, and dstCap 0 (or a null dst) only counts. Decoding stops, as at the
 * end of input, at a byte that cannot start a character or at a sequence that is unfinished or
 * lacks a continuation byte; overlong forms and encoded surrogates are decoded, not refused. A
 * four-byte form becomes a surrogate pair, stored whole or not at all. Returns -1 for a null
 * src. */
CV_API int32_t CV_CALL CV_UTF8ToWideChar(const uint8_t* src, int32_t srcLen, uint16_t* dst,
                                         int32_t dstCap);

/* Encodes UTF-16 src (srcLen units, -1: up to the first 0 unit) into at most dstCap bytes of
 * dst, each unit by itself in one to three bytes (a surrogate pair becomes two three-byte forms).
 * With a count, returns the bytes of the text and writes no terminator. With -1, returns the
 * bytes plus 1 and writes a 0 byte behind them; when the output reaches dstCap the 0 byte takes
 * the last position and the result is dstCap. A unit whose form does not fit whole ends the
 * output and is left out. dstCap 0 only counts. Returns 0 for a null src, a null dst with
 * dstCap other than 0, or a negative dstCap. */
CV_API int32_t CV_CALL CV_WideCharToUTF8(const uint16_t* src, int32_t srcLen, uint8_t* dst,
                                         int32_t dstCap);

/* Copies the preferred charset name of codePage (e.g. 1252 -> "iso-8859-1", 932 -> "Shift_JIS")
 * into name, which must have room for 20 bytes; only the name and its NUL are written. Returns 1
 * when the code page has a name, else 0 with name untouched; a null name writes nothing and
 * returns 0. Pseudo code pages are not resolved: 0, 3 and 2023 have no name. */
CV_API int32_t CV_CALL CV_CodePageIDToName(uint32_t codePage, char* name);

/* The code page of a charset name such as "Shift_JIS", "latin1" or "UTF-8", compared in full and
 * ignoring ASCII letter case only (no trimming, no locale). Returns 0 for an unknown name or a
 * null pointer; note that 0 is also the ANSI pseudo code page. */
CV_API uint32_t CV_CALL CV_CodePageNameToID(const char* name);

/* The Windows GDI character set for codePage: 128 (SHIFTJIS) for 932, 134 (GB2312) for 936,
 * 129 (HANGUL) for 949, 136 (CHINESEBIG5) for 950, 0 (ANSI) for every other number. */
CV_API uint32_t CV_CALL CV_GetCharSet(uint32_t codePage);

/* A small interface font for the character set of the system's ANSI code page: "Microsoft Sans
 * Serif" at height -10 and weight 400 where it is installed in that character set, else the
 * system's stock interface font. Chosen on the first call and never refreshed; every call returns
 * the same pointer into the library's static storage, which is never null. The record is the
 * library's: read or copy it, never change or free it (hence const). Safe to call from several
 * threads at once, the first calls included. */
CV_API const CV_LOGFONTA* CV_CALL CV_RealFont(void);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_H */
