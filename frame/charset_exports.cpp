#include "codepages/charset_names.h"
#include "corvane.h"

int32_t CV_CALL CV_CodePageIDToName(uint32_t codePage, char* name) {
  return corvane::CodePageIDToName(codePage, name);
}

uint32_t CV_CALL CV_CodePageNameToID(const char* name) {
  return corvane::CodePageNameToID(name);
}

uint32_t CV_CALL CV_GetCharSet(uint32_t codePage) {
  return corvane::GetCharSet(codePage);
}
