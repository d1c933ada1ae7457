// corvane convert: streams files or standard input from one charset to another through UTF-16.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "files.h"
#include "japanese_detector.h"
#include "stream_decoder.h"
#include "stream_encoder.h"

namespace corvane_tool {
namespace {

constexpr const char* kHelp =
    "usage: corvane convert -f FROM -t TO [-o OUT] [--no-progress] [FILE...]\n"
    "\n"
    "Converts each FILE (standard input when none is given or for \"-\") from FROM to TO and\n"
    "writes the results, one after the other, to OUT (standard output when absent).\n"
    "\n"
    "FROM and TO are charset names the library knows (Shift_JIS, euc-jp, iso-2022-jp, utf-8,\n"
    "latin1, koi8-r, big5, ...; see 'corvane names'), code page numbers (932, 1252, 40866,\n"
    "...; see 'corvane list'), or utf-16le. FROM may also be auto-ja: each file's Japanese\n"
    "encoding (ISO-2022-JP, EUC-JP or Shift_JIS) is detected as CV_JapaneseAutoDetect does\n"
    "over the whole file. 0 is the system's ANSI code page, 3 the code page of the locale.\n"
    "\n"
    "Files are read in chunks, so memory stays small for any size, and the result is what one\n"
    "library call over the whole file gives. ISO-2022-JP output always ends in single-byte\n"
    "mode. Characters TO lacks are replaced as the library does; a warning says so when the\n"
    "library reports it. Under -o a regular file appears only when the conversion succeeded,\n"
    "with the permissions of the file it replaces; a symbolic link is followed, and a device\n"
    "or pipe is written straight through.\n"
    "A progress bar is shown on standard error, when it is a terminal, for inputs of 16 MiB\n"
    "or more; --no-progress turns it off.\n"
    "\n"
    "Exit status: 0 success; 1 input that cannot be converted (invalid UTF-8, ...), a file\n"
    "that cannot be read or written; 2 a usage error (unknown option or charset, ...).\n";

constexpr std::string_view kCommand = "convert ";

struct Conversion {
  Encoding from;
  Encoding to;
  OutputFile* output;
  ProgressBar* progress;
  std::size_t chunkSize;
  bool replaced = false;
};

class FileConverter {
 public:
  FileConverter(Conversion& conversion, InputFile& input)
      : c_(conversion),
        input_(input),
        encoder_(conversion.to, std::max(conversion.chunkSize, StreamEncoder::kLeastPieceUnits)) {}

  bool Run() {
    std::vector<std::uint8_t> buffer(c_.chunkSize);
    Encoding source = c_.from;
    HeldBytes held;
    if (source.kind == Encoding::Kind::kAutoJapanese) {
      // Hold the input back until the code page is known (or the input ends).
      JapaneseDetector detector;
      while (!detector.Settled()) {
        const std::size_t got = input_.Read(buffer);
        if (got == 0) break;
        const std::span<const std::uint8_t> chunk(buffer.data(), got);
        detector.Feed(chunk);
        if (!held.Append(chunk)) return false;
      }
      if (input_.Failed()) return false;
      source.kind = Encoding::Kind::kCodePage;
      source.codePage = detector.CodePage();
    }
    decoder_.emplace(source);
    if (!held.Replay(c_.chunkSize,
                     [&](std::span<const std::uint8_t> chunk) { return Pump(chunk, false); })) {
      return false;
    }
    for (;;) {
      const std::size_t got = input_.Read(buffer);
      if (got == 0) break;
      if (!Pump({buffer.data(), got}, false)) return false;
    }
    if (input_.Failed()) return false;
    if (!Pump({}, true)) return false;
    if (encoder_.Replaced()) c_.replaced = true;
    return true;
  }

 private:
  bool Pump(std::span<const std::uint8_t> chunk, bool atEnd) {
    decoder_->Feed(chunk);
    const std::uint64_t before = decoder_->BytesDecoded();
    if (!decoder_->Decode(atEnd, wide_)) {
      PrintError(input_.Name() + ": " + decoder_->Error());
      return false;
    }
    c_.progress->Advance(decoder_->BytesDecoded() - before);
    return c_.output->Write(encoder_.Encode(wide_, atEnd));
  }

  Conversion& c_;
  InputFile& input_;
  std::optional<StreamDecoder> decoder_;
  StreamEncoder encoder_;
  std::vector<std::uint16_t> wide_;
};

// Reads -f or -t; prints the message and returns nullopt when it is missing or unusable.
std::optional<Encoding> EncodingOption(const OptionReader& options, std::string_view name,
                                       bool isSource) {
  const std::string flag = isSource ? "-f" : "-t";
  const std::string* text = options.Value(name);
  if (text == nullptr) {
    UsageError(kCommand, "missing " + flag + (isSource ? " FROM" : " TO"));
    return std::nullopt;
  }
  std::optional<Encoding> encoding = ParseEncoding(*text);
  if (!encoding) {
    UsageError(kCommand, "unknown charset '" + *text + "' (" + flag + ")");
    return std::nullopt;
  }
  if (encoding->kind == Encoding::Kind::kAutoJapanese && !isSource) {
    UsageError(kCommand, "auto-ja can only be a source charset (" + flag + ")");
    return std::nullopt;
  }
  if (encoding->kind == Encoding::Kind::kCodePage &&
      !(isSource ? CanDecode(encoding->codePage) : CanEncode(encoding->codePage))) {
    UsageError(kCommand, "code page " + std::to_string(encoding->codePage) + " ('" + *text + "', " +
                             flag + ") cannot be converted " + (isSource ? "from" : "to") +
                             " on this system");
    return std::nullopt;
  }
  return encoding;
}

}  // namespace

int RunConvert(int argc, char** argv, int first) {
  OptionReader options(kCommand.substr(0, kCommand.size() - 1), {{'f', "from", true},
                                                                 {'t', "to", true},
                                                                 {'o', "output", true},
                                                                 {0, "no-progress", false},
                                                                 {'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  const std::optional<Encoding> from = EncodingOption(options, "from", true);
  if (!from) return kExitUsage;
  const std::optional<Encoding> to = EncodingOption(options, "to", false);
  if (!to) return kExitUsage;

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
  Conversion conversion{*from, *to, &output, &progress, ChunkSize()};
  for (InputFile& input : inputs) {
    FileConverter converter(conversion, input);
    if (!converter.Run()) {
      output.Discard();
      return kExitFailure;
    }
  }
  if (!output.Commit()) return kExitFailure;
  if (conversion.replaced) {
    PrintError("warning: some characters have no equivalent in '" + to->spelling +
               "' and were replaced");
  }
  return kExitSuccess;
}

}  // namespace corvane_tool
