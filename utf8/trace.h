// The one place diagnostics go. The shipped library discards them (utf8/trace_message.cpp);
// the unit tests link a recording definition instead, so that they can see which diagnostic an
// input produced without the library ever logging anything.
#pragma once

namespace corvane {

// Takes one nul-terminated diagnostic text and does nothing with it.
void TraceMessage(const char* text);

}  // namespace corvane
