// The charset name exports: any text as a name, any number as a code page.
#include <algorithm>
#include <cstring>

#include "corvane.h"
#include "fuzz_support.h"

using namespace corvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The same bytes serve as the name and, read as a number, as the code page.
  std::uint32_t number = 0;
  std::memcpy(&number, data, std::min(size, sizeof number));
  std::vector<char> name(reinterpret_cast<const char*>(data),
                         reinterpret_cast<const char*>(data) + size);
  name.push_back('\0');
  const auto text = ExactCopy(name);

  // A name that is found leads back, through the preferred name, to the same code page.
  const std::uint32_t id = CV_CodePageNameToID(text.get());
  if (id != 0) {
    char preferred[20];
    FUZZ_CHECK(CV_CodePageIDToName(id, preferred) == 1);
    FUZZ_CHECK(std::memchr(preferred, '\0', sizeof preferred) != nullptr);
    FUZZ_CHECK(CV_CodePageNameToID(preferred) == id);
    // Only ASCII letter case is ignored.
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    FUZZ_CHECK(CV_CodePageNameToID(ExactCopy(name).get()) == id);
  }

  // Any number: a name of at most 20 bytes with its NUL, or nothing written at all.
  const auto buffer = std::make_unique<char[]>(20);
  std::memset(buffer.get(), 0x5A, 20);
  const std::int32_t named = CV_CodePageIDToName(number, buffer.get());
  FUZZ_CHECK(named == 0 || named == 1);
  if (named == 1) {
    FUZZ_CHECK(std::memchr(buffer.get(), '\0', 20) != nullptr);
    FUZZ_CHECK(CV_CodePageNameToID(buffer.get()) == number);
  } else {
    for (int i = 0; i < 20; ++i)
      FUZZ_CHECK(buffer[static_cast<std::size_t>(i)] == 0x5A);
  }
  const std::uint32_t charset = CV_GetCharSet(number);
  FUZZ_CHECK(charset == 0 || charset == 128 || charset == 129 || charset == 134 || charset == 136);
  const std::int32_t valid = CV_IsValidCodePage(number);
  FUZZ_CHECK(valid == 0 || valid == 1);
  return 0;
}
