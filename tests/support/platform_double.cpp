#include "tests/support/platform_double.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/platform.h"

namespace corvane::platform_double {
namespace {

// Constant-initialised, so the registry built during static initialisation can already ask.
std::atomic<std::uint32_t> g_ansiCodePage{1252};
std::atomic<std::uint16_t> g_threadLanguage{0x0409};
std::mutex g_mutex;
std::vector<std::uint32_t> g_systemCodePages;
std::vector<SystemCall> g_calls;

bool Supported(std::uint32_t codePage) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::find(g_systemCodePages.begin(), g_systemCodePages.end(), codePage) !=
         g_systemCodePages.end();
}

void Record(const SystemCall& call) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_calls.push_back(call);
}

template <typename In>
std::int32_t LengthOf(const In* src, std::int32_t srcLen) {
  if (srcLen != -1) return srcLen < 0 ? 0 : srcLen;
  std::int32_t n = 0;
  while (src[n] != 0)
    ++n;
  return n + 1;  // the terminator is converted too
}

}  // namespace

void Reset() {
  g_ansiCodePage = 1252;
  g_threadLanguage = 0x0409;
  std::lock_guard<std::mutex> lock(g_mutex);
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
  std::lock_guard<std::mutex> lock(g_mutex);
  g_systemCodePages.assign(codePages.begin(), codePages.end());
}

std::vector<SystemCall> TakeSystemCalls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::vector<SystemCall> out;
  out.swap(g_calls);
  return out;
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
  return platform_double::Supported(codePage);
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                                 std::int32_t dstCap) {
  platform_double::Record({SystemCall::Direction::kToWide, codePage, flags, srcLen, dstCap});
  if (!platform_double::Supported(codePage != 0 ? codePage : AnsiCodePage())) return 0;
  const std::int32_t n = platform_double::LengthOf(src, srcLen);
  if (dstCap == 0) return n;
  if (dstCap < n) return 0;
  for (std::int32_t i = 0; i < n; ++i)
    dst[i] = src[i];
  return n;
}

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                                 std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                                 const char* /*defaultChar*/, std::int32_t* /*defaultUsed*/) {
  platform_double::Record({SystemCall::Direction::kToBytes, codePage, flags, srcLen, dstCap});
  if (!platform_double::Supported(codePage != 0 ? codePage : AnsiCodePage())) return 0;
  const std::int32_t n = platform_double::LengthOf(src, srcLen);
  if (dstCap == 0) return n;
  if (dstCap < n) return 0;
  for (std::int32_t i = 0; i < n; ++i)
    dst[i] = static_cast<std::uint8_t>(src[i] & 0xFF);
  return n;
}

}  // namespace corvane::platform
