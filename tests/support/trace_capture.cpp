#include "tests/support/trace_capture.h"

#include "utf8/trace.h"

namespace corvane {
namespace {
std::vector<std::string>& Recorded() {
  thread_local std::vector<std::string> recorded;
  return recorded;
}
}  // namespace

void TraceMessage(const char* text) {
  Recorded().emplace_back(text);
}

namespace trace_capture {
std::vector<std::string> Take() {
  std::vector<std::string> out;
  out.swap(Recorded());
  return out;
}
}  // namespace trace_capture

}  // namespace corvane
