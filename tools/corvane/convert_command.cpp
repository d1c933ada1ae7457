// corvane convert: streams files or standard input from one encoding to another through UTF-16,
// with the C++ interface's decoder and encoder, which carry cut characters and shift state from
// chunk to chunk themselves.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "auto_detect.h"
#include "command_line.h"
#include "commands.h"
#include "corvane.hpp"
#include "files.h"

namespace corvane_tool {
namespace {

constexpr const char* kHelp =
    "usage: corvane convert -f FROM -t TO [-c | --strict] [-o OUT] [--no-progress] [FILE...]\n"
    "\n"
    "Converts each FILE (standard input when none is given or for \"-\") from FROM to TO and\n"
    "writes the results, one after the other, to OUT (standard output when absent).\n"
    "\n"
    "FROM and TO are encoding names (Shift_JIS, SJIS, CP932, EUC-JP, ISO-2022-JP, GBK, UHC,\n"
    "Big5, GB18030, KOI8-R, windows-1251, ISO-8859-5, UTF-8, UTF-16LE, ...; case and\n"
    "punctuation do not matter) or Windows code page numbers; 'corvane list' shows them all.\n"
    "FROM may be 'auto': a byte order mark decides, else text that is valid UTF-8 throughout\n"
    "is UTF-8 (plain ASCII too), else 'corvane detect' picks the encoding from 64 KiB of the\n"
    "file, starting where it stops being plain ASCII, and warns when it is not sure.\n"
    "'auto-ja' is another name for it.\n"
    "\n"
    "Input that cannot be converted (a malformed byte sequence, a character TO lacks) is\n"
    "replaced: by U+FFFD, or by TO's '?'. A warning gives the count and the byte offset of the\n"
    "first. -c leaves it out instead (with the same warning); --strict stops at the first,\n"
    "naming its byte offset, with exit status 1. UTF-8 output is always valid UTF-8.\n"
    "\n"
    "Files are read 64 KiB at a time, so memory stays small for any size (auto holds a file\n"
    "back until it has decided, beyond 1 MiB in a temporary file). Under -o a regular file\n"
    "appears only when the conversion succeeded, with the permissions of the file it\n"
    "replaces; a symbolic link is followed, and a device or pipe is written straight through.\n"
    "A progress bar is shown on standard error, when it is a terminal, for inputs of 16 MiB\n"
    "or more; --no-progress turns it off.\n"
    "\n"
    "  $ printf 'caf\\xc3\\xa9\\n' | corvane convert -f utf-8 -t koi8-r --strict\n"
    "  corvane: cannot convert standard input: U+00E9 at byte 3 has no form in KOI8-R\n"
    "  $ printf 'caf\\xc3\\xa9\\n' | corvane convert -f utf-8 -t koi8-r | od -An -c\n"
    "  corvane: warning: standard input: 1 character could not be converted (first at byte 3)\n"
    "     c   a   f   ?  \\n\n"
    "\n"
    "Exit status: 0 success (warnings included); 1 input that cannot be converted under\n"
    "--strict, a file that cannot be read or written; 2 a usage error (unknown option or\n"
    "encoding, ...).\n";

constexpr std::string_view kCommand = "convert ";

struct Conversion {
  std::optional<corvane::Encoding> from;  // none: auto
  corvane::Encoding to;
  corvane::OnError onError;
  OutputFile* output;
  ProgressBar* progress;
  std::size_t chunkSize;
};

// Where in `bytes`, fed to a decoder in the state `decoder` holds, the character starts whose
// decoding yields unit `unit`: the bytes are decoded again one at a time. Only a fault asks, so
// the cost is no matter.
std::uint64_t ByteOfUnit(corvane::Decoder decoder, std::span<const std::uint8_t> bytes, bool atEnd,
                         std::size_t unit) {
  char16_t out[corvane::Decoder::max_units(1)];
  std::size_t units = 0;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const std::uint64_t start = decoder.position();
    units += decoder.decode(bytes.subspan(k, 1), out);
    if (units > unit) return start;
  }
  const std::uint64_t start = decoder.position();
  if (atEnd) units += decoder.finish(out);
  return units > unit ? start : decoder.position();
}

class FileConverter {
 public:
  FileConverter(const Conversion& conversion, InputFile& input)
      : c_(conversion), input_(input), encoder_(conversion.to, {.on_error = conversion.onError}) {}

  bool Run() {
    std::vector<std::uint8_t> buffer(c_.chunkSize);
    HeldBytes held;
    if (c_.from) {
      decoder_.emplace(*c_.from, corvane::Options{.on_error = c_.onError});
    } else {
      // Hold the input back until its encoding is known (or the input ends).
      AutoDetector detector;
      while (!detector.Decided()) {
        const std::size_t got = input_.Read(buffer);
        if (got == 0) break;
        const std::span<const std::uint8_t> chunk(buffer.data(), got);
        detector.Feed(chunk);
        if (!held.Append(chunk)) return false;
      }
      if (input_.Failed()) return false;
      const AutoDetector::Answer answer = detector.Settle();
      if (!answer.certain) {
        PrintError("warning: " + input_.Name() + ": encoding not certain, read as " +
                   std::string(answer.encoding.name()));
      }
      decoder_.emplace(answer.encoding,
                       corvane::Options{.on_error = c_.onError, .bom = answer.byteOrderMark});
    }
    if (!held.Replay(c_.chunkSize,
                     [&](std::span<const std::uint8_t> chunk) { return Pump(chunk, false); })) {
      return false;
    }
    for (;;) {
      const std::size_t got = input_.Read(buffer);
      if (got == 0) break;
      if (!Pump({buffer.data(), got}, false)) return false;
    }
    if (input_.Failed() || !Pump({}, true)) return false;
    WarnOfFaults();
    return true;
  }

 private:
  bool Pump(std::span<const std::uint8_t> chunk, bool atEnd) {
    const corvane::Decoder before = *decoder_;
    units_.resize(corvane::Decoder::max_units(chunk.size()));
    std::size_t count = 0;
    try {
      count = decoder_->decode(chunk, units_);
      if (atEnd) count += decoder_->finish(std::span(units_).subspan(count));
    } catch (const corvane::Error& e) {
      return Fail(e.what());
    }
    c_.progress->Advance(decoder_->position() - before.position());
    const bool faultedBefore = encoder_.report().first.has_value();
    bytes_.clear();
    try {
      encoder_.encode(std::u16string_view(units_.data(), count), bytes_);
      if (atEnd) encoder_.finish(bytes_);
    } catch (const corvane::Error& e) {
      // The message counts UTF-16 units; the user wants the byte of the input.
      const std::string what = e.what();
      return Fail(what.substr(0, what.find(" at unit")) + " at byte " +
                  std::to_string(ByteOf(before, chunk, atEnd, e.offset())) + " has no form in " +
                  std::string(c_.to.name()));
    }
    if (!faultedBefore && encoder_.report().first)
      encoderFirst_ = ByteOf(before, chunk, atEnd, *encoder_.report().first);
    unitsFed_ += count;
    return c_.output->Write(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes_.data()), bytes_.size()));
  }

  // The input byte where the character of the encoder's unit `unit` started, the unit being one
  // of the chunk just decoded from the state `before`.
  std::uint64_t ByteOf(const corvane::Decoder& before, std::span<const std::uint8_t> chunk,
                       bool atEnd, std::uint64_t unit) const {
    // A surrogate pair the decoder gave out whole is never cut, so the unit lies in this chunk.
    const std::uint64_t inChunk = unit > unitsFed_ ? unit - unitsFed_ : 0;
    return ByteOfUnit(before, chunk, atEnd, static_cast<std::size_t>(inChunk));
  }

  bool Fail(const std::string& what) {
    PrintError("cannot convert " + input_.Name() + ": " + what);
    return false;
  }

  void WarnOfFaults() const {
    const corvane::Report& decoded = decoder_->report();
    const std::size_t count = decoded.replaced + encoder_.report().replaced;
    if (count == 0) return;
    std::uint64_t first = encoderFirst_.value_or(UINT64_MAX);
    if (decoded.first) first = std::min<std::uint64_t>(first, *decoded.first);
    const bool one = count == 1;
    PrintError("warning: " + input_.Name() + ": " + std::to_string(count) +
               (one ? " character" : " characters") + " could not be converted" +
               (c_.onError != corvane::OnError::skip ? ""
                : one                                ? " and was skipped"
                                                     : " and were skipped") +
               " (first at byte " + std::to_string(first) + ")");
  }

  const Conversion& c_;
  InputFile& input_;
  std::optional<corvane::Decoder> decoder_;
  corvane::Encoder encoder_;
  std::u16string units_;
  std::string bytes_;
  std::uint64_t unitsFed_ = 0;
  std::optional<std::uint64_t> encoderFirst_;
};

// Reads -f or -t: a name or a code page number of the C++ interface's encodings, or auto for
// -f. Prints the message and returns false when it is missing or unknown.
bool EncodingOption(const OptionReader& options, bool isSource,
                    std::optional<corvane::Encoding>& encoding) {
  const std::string flag = isSource ? "-f" : "-t";
  const std::string* text = options.Value(isSource ? "from" : "to");
  if (text == nullptr) {
    UsageError(kCommand, "missing " + flag + (isSource ? " FROM" : " TO"));
    return false;
  }
  std::string lower = *text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  if (lower == "auto" || lower == "auto-ja") {
    if (isSource) return true;
    UsageError(kCommand, *text + " can only be a source encoding (" + flag + ")");
    return false;
  }
  const std::optional<std::uint32_t> number = ParseNumber(*text);
  encoding = number ? corvane::Encoding::find(*number) : corvane::Encoding::find(*text);
  if (!encoding) {
    UsageError(kCommand, "unknown encoding '" + *text + "' (" + flag + "); see 'corvane list'");
    return false;
  }
  return true;
}

}  // namespace

int RunConvert(int argc, char** argv, int first) {
  OptionReader options(kCommand.substr(0, kCommand.size() - 1), {{'f', "from", true},
                                                                 {'t', "to", true},
                                                                 {'o', "output", true},
                                                                 {'c', "skip", false},
                                                                 {0, "strict", false},
                                                                 {0, "no-progress", false},
                                                                 {'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  std::optional<corvane::Encoding> from, to;
  if (!EncodingOption(options, true, from) || !EncodingOption(options, false, to))
    return kExitUsage;
  if (options.Has("skip") && options.Has("strict"))
    return UsageError(kCommand, "-c and --strict exclude each other");
  const corvane::OnError onError = options.Has("strict") ? corvane::OnError::strict
                                   : options.Has("skip") ? corvane::OnError::skip
                                                         : corvane::OnError::replace;

  std::vector<std::string> paths = options.Operands();
  if (paths.empty()) paths.emplace_back("-");
  // Every input is opened before the output is created, so a bad name leaves nothing behind.
  std::vector<InputFile> inputs(paths.size());
  std::uint64_t total = 0;
  bool sizesKnown = true;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!inputs[i].Open(paths[i])) return kExitFailure;
    total += inputs[i].KnownSize();
    sizesKnown = sizesKnown && inputs[i].KnownSize() > 0;
  }

  OutputFile output;
  const std::string* outPath = options.Value("output");
  if (!output.Open(outPath != nullptr ? *outPath : "")) return kExitFailure;
  ProgressBar progress(sizesKnown ? total : 0, !options.Has("no-progress"));
  const Conversion conversion{from, *to, onError, &output, &progress, ChunkSize()};
  for (InputFile& input : inputs) {
    FileConverter converter(conversion, input);
    if (!converter.Run()) {
      output.Discard();
      return kExitFailure;
    }
  }
  return output.Commit() ? kExitSuccess : kExitFailure;
}

}  // namespace corvane_tool
