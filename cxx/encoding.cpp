// Finding an encoding by the names people type or by its code page number, and the messages of
// the errors every conversion of the C++ interface throws.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "cxx/codec.h"

namespace corvane {
namespace {

using standard::EncodingRecord;

// Letters and digits only, letters small: "ISO_8859-1" and "iso88591" are one name. A name
// longer than any known one cannot be found, so it is not folded past that.
std::string Fold(std::string_view name) {
  std::string folded;
  for (const char c : name) {
    if (c >= 'A' && c <= 'Z') {
      folded += static_cast<char>(c - 'A' + 'a');
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      folded += c;
    }
    if (folded.size() > 64) break;
  }
  return folded;
}

const EncodingRecord* FindByNumber(std::uint32_t codePage) {
  for (std::size_t k = 0; k < standard::kEncodingCount; ++k) {
    if (standard::kEncodings[k].codePage == codePage && codePage != 0) {
      return &standard::kEncodings[k];
    }
  }
  const auto* aliases = standard::kCodePageAliases;
  const auto* end = aliases + standard::kCodePageAliasCount;
  const auto* at = std::lower_bound(aliases, end, codePage, [](const auto& alias, std::uint32_t n) {
    return alias.codePage < n;
  });
  return at != end && at->codePage == codePage ? &standard::kEncodings[at->encoding] : nullptr;
}

const EncodingRecord* FindByName(std::string_view name) {
  const std::string folded = Fold(name);
  if (folded.empty()) return nullptr;
  // A bare number is a code page number: "-f 932" on the command line.
  if (folded.size() <= 9 &&
      std::all_of(folded.begin(), folded.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (const EncodingRecord* byNumber =
            FindByNumber(static_cast<std::uint32_t>(std::stoul(folded)))) {
      return byNumber;
    }
  }
  const auto* names = standard::kFoldedNames;
  const auto* end = names + standard::kFoldedNameCount;
  const auto* at =
      std::lower_bound(names, end, folded, [](const auto& entry, const std::string& f) {
        return std::strcmp(entry.folded, f.c_str()) < 0;
      });
  return at != end && folded == at->folded ? &standard::kEncodings[at->encoding] : nullptr;
}

std::string CodePointName(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

}  // namespace

Encoding::Encoding(std::string_view name) : record_(FindByName(name)) {
  if (record_ == nullptr) {
    throw Error(Error::Kind::unknown_encoding, "unknown encoding \"" + std::string(name) + "\"");
  }
}

Encoding::Encoding(std::uint32_t code_page) : record_(FindByNumber(code_page)) {
  if (record_ == nullptr) {
    throw Error(Error::Kind::unknown_encoding,
                "no encoding has code page " + std::to_string(code_page));
  }
}

std::optional<Encoding> Encoding::find(std::string_view name) noexcept {
  try {
    if (const EncodingRecord* r = FindByName(name)) return Encoding(r);
  } catch (...) {  // only an allocation can fail: nothing found
  }
  return std::nullopt;
}

std::optional<Encoding> Encoding::find(std::uint32_t code_page) noexcept {
  if (const EncodingRecord* r = FindByNumber(code_page)) return Encoding(r);
  return std::nullopt;
}

std::vector<Encoding> Encoding::all() {
  std::vector<Encoding> every;
  for (std::size_t k = 0; k < standard::kEncodingCount; ++k) {
    every.push_back(Encoding(&standard::kEncodings[k]));
  }
  return every;
}

std::string_view Encoding::name() const noexcept {
  return record_->name;
}

std::uint32_t Encoding::code_page() const noexcept {
  return record_->codePage;
}

std::vector<std::string_view> Encoding::aliases() const {
  std::vector<std::string_view> names;
  for (const char* const* a = record_->aliases; a != nullptr && *a != nullptr; ++a) {
    names.emplace_back(*a);
  }
  return names;
}

namespace cxx {

void Faults::ThrowMalformed(std::size_t at, const EncodingRecord& encoding) {
  const std::size_t offset = static_cast<std::size_t>(base_ + at);
  throw Error(Error::Kind::malformed,
              std::string("malformed ") + encoding.name + " at byte " + std::to_string(offset),
              offset);
}

void Faults::ThrowUnmappable(std::size_t at, char32_t c, const EncodingRecord& encoding) {
  const std::size_t offset = static_cast<std::size_t>(base_ + at);
  const std::string what = IsSurrogate(c) ? "lone surrogate " + CodePointName(c) : CodePointName(c);
  throw Error(Error::Kind::unmappable,
              what + " at unit " + std::to_string(offset) + " has no form in " + encoding.name,
              offset);
}

const FamilyCodec& CodecOf(standard::Family family) {
  using standard::Family;
  switch (family) {
    case Family::kSingleByte:
      return kSingleByteCodec;
    case Family::kDoubleByte:
    case Family::kEucJp:
    case Family::kGb18030:
    case Family::kGbk:
      return kDoubleByteCodec;
    case Family::kIso2022Jp:
      return kIso2022JpCodec;
    default:
      return kUnicodeCodecs[static_cast<std::size_t>(family) -
                            static_cast<std::size_t>(Family::kUtf8)];
  }
}

}  // namespace cxx
}  // namespace corvane
