/* Converts Shift_JIS to UTF-8 through UTF-16 with the installed library; prints "ok" and exits 0
 * when the bytes are right. Plain C, to show that the header is C. */
#include <corvane.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  static const uint8_t sjis[] = {0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x41}; /* 日本語A */
  static const uint8_t utf8[] = {0xE6, 0x97, 0xA5, 0xE6, 0x9C, 0xAC, 0xE8, 0xAA, 0x9E, 0x41};
  uint16_t wide[16];
  uint8_t out[32];
  int32_t units = CV_MultiByteToWideChar(CV_CodePageNameToID("Shift_JIS"), 0, sjis,
                                         (int32_t)sizeof sjis, wide, 16, NULL, NULL);
  int32_t bytes =
      CV_WideCharToMultiByte(65001, 0, wide, units, out, (int32_t)sizeof out, NULL, NULL);
  if (units != 4 || bytes != (int32_t)sizeof utf8 || memcmp(out, utf8, sizeof utf8) != 0) {
    fprintf(stderr, "consumer: wrong conversion (%d units, %d bytes)\n", (int)units, (int)bytes);
    return 1;
  }
  puts("ok");
  return 0;
}
