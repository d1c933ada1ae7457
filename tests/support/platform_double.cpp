#include "tests/support/platform_double.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/platform.h"

namespace corvane::platform_double {
namespace {

// Constant-initialised, so the registry built during static initialisation can already ask. No
// lock: the conversions and the code page list are only used from the test's own thread.
std::atomic<std::uint32_t> g_ansiCodePage{1252};
std::atomic<std::uint16_t> g_threadLanguage{0x0409};
std::vector<std::uint32_t> g_systemCodePages;
std::vector<SystemCall> g_calls;

// Both directions: records the call, then copies each unit or byte over as its low byte (the
// terminator of a -1 source too); a capacity of 0 asks for the size.
template <typename In, typename Out>
std::int32_t Convert(const SystemCall& call, const In* src, Out* dst) {
  g_calls.push_back(call);
  const std::uint32_t codePage = call.codePage != 0 ? call.codePage : g_ansiCodePage.load();
  if (!platform::IsValidCodePage(codePage)) return 0;
  std::int32_t n = std::max(call.srcLen, 0);
  if (call.srcLen == -1) {
    while (src[n] != 0)
      ++n;
    ++n;  // the terminator is converted too
  }
  if (call.dstCap == 0) return n;
  if (call.dstCap < n) return 0;
  for (std::int32_t i = 0; i < n; ++i)
    dst[i] = static_cast<Out>(src[i] & 0xFF);
  return n;
}

}  // namespace

void Reset() {
  g_ansiCodePage = 1252;
  g_threadLanguage = 0x0409;
  g_systemCodePages.clear();
  g_calls.clear();
}

void SetAnsiCodePage(std::uint32_t codePage) {
  g_ansiCodePage = codePage;
}
void SetThreadLanguage(std::uint16_t language) {
  g_threadLanguage = language;
}

void SetSystemCodePages(std::initializer_list<std::uint32_t> codePages) {
  g_systemCodePages.assign(codePages.begin(), codePages.end());
}

std::vector<SystemCall> TakeSystemCalls() {
  return std::exchange(g_calls, {});
}

}  // namespace corvane::platform_double

namespace corvane::platform {

using platform_double::SystemCall;

std::uint32_t AnsiCodePage() {
  return platform_double::g_ansiCodePage;
}
std::uint16_t ThreadLanguage() {
  return platform_double::g_threadLanguage;
}
bool IsValidCodePage(std::uint32_t codePage) {
  return std::ranges::find(platform_double::g_systemCodePages, codePage) !=
         platform_double::g_systemCodePages.end();
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                                 std::int32_t dstCap) {
  return platform_double::Convert({SystemCall::Direction::kToWide, codePage, flags, srcLen, dstCap},
                                  src, dst);
}

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                                 std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                                 const char* /*defaultChar*/, std::int32_t* /*defaultUsed*/) {
  return platform_double::Convert(
      {SystemCall::Direction::kToBytes, codePage, flags, srcLen, dstCap}, src, dst);
}

}  // namespace corvane::platform
