// Test-only view of the diagnostics the library hands to TraceMessage on the calling thread.
#pragma once

#include <string>
#include <vector>

namespace corvane::trace_capture {

// Diagnostics recorded on this thread since the last call, oldest first; clears the record.
std::vector<std::string> Take();

}  // namespace corvane::trace_capture
