// CV_IsValidCodePage: whether the library's registry knows a code page number.
#include "codepages/registry.h"
#include "corvane.h"

// Neither resolves pseudo code pages nor looks at who converts the code page: a registered code
// page is valid whether the system or our own tables convert it.
extern "C" CV_API int32_t CV_CALL CV_IsValidCodePage(uint32_t codePage) {
  return corvane::FindCodePageRecord(codePage) != nullptr ? 1 : 0;
}
