// Whether a detector's answer is right. An answer is right when it decodes the sample to the same
// text as the sample's true encoding does: a short Western sample of plain ASCII letters is as
// well read as US-ASCII as windows-1252, and a Greek sample without the few bytes where
// windows-1253 and ISO-8859-7 differ is read alike by both. Both sides are decoded by glibc's
// iconv, whatever the detector; a name iconv cannot open, bytes it cannot decode under the
// answered name, and no answer at all are wrong.
#pragma once

#include <iconv.h>

#include <cctype>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace corvane::bench {

// The iconv converter that reads text labelled `name`, for any detector's spelling of it. Where a
// name has a narrow standard form and a Windows superset, the superset: text labelled Shift_JIS,
// EUC-KR, Big5 or GB2312 is in practice code page 932, 949, 950 or 936 (and the samples are),
// and glibc's strict SHIFT_JIS, for one, reads 0x5C as the yen sign. A few more are the peers'
// spellings of names iconv knows otherwise; any other name goes to iconv as it is.
inline std::string IconvNameFor(std::string_view name) {
  std::string key;
  for (const char c : name) {
    if (c != '-' && c != '_' && c != ' ') {
      key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  static const std::map<std::string, std::string, std::less<>> kSupersets = {
      {"SHIFTJIS", "CP932"},
      {"SJIS", "CP932"},
      {"WINDOWS31J", "CP932"},
      {"XSJIS", "CP932"},
      {"EUCKR", "CP949"},
      {"UHC", "CP949"},
      {"WINDOWS949", "CP949"},
      {"KSC5601", "CP949"},
      {"BIG5", "CP950"},
      {"XXBIG5", "CP950"},
      {"GB2312", "GBK"},
      {"EUCCN", "GBK"},
      {"CP936", "GBK"},
      {"XGBK", "GBK"},
      {"ISO88598I", "ISO-8859-8"},
      {"IBM420RTL", "IBM420"},
      {"IBM420LTR", "IBM420"},
      {"IBM424RTL", "IBM424"},
      {"IBM424LTR", "IBM424"},
      {"XEUCTW", "EUC-TW"},
      {"XMACCYRILLIC", "MAC-CYRILLIC"},
      {"MACCYRILLIC", "MAC-CYRILLIC"}};
  const auto found = kSupersets.find(key);
  return found != kSupersets.end() ? found->second : std::string(name);
}

// Decodes with iconv into UTF-8, one descriptor kept per name.
class IconvDecoders {
 public:
  IconvDecoders() = default;
  IconvDecoders(const IconvDecoders&) = delete;
  IconvDecoders& operator=(const IconvDecoders&) = delete;
  ~IconvDecoders() {
    for (auto& [name, cd] : open_) {
      if (cd != Failed()) iconv_close(cd);
    }
  }

  // The text of bytes in the encoding iconv calls iconvName; false when iconv has no such
  // encoding or the bytes are not text in it, cut-off characters at the end included.
  bool Decode(const std::string& iconvName, std::string_view bytes, std::string& text) {
    auto found = open_.find(iconvName);
    if (found == open_.end()) {
      found = open_.emplace(iconvName, iconv_open("UTF-8", iconvName.c_str())).first;
    }
    iconv_t cd = found->second;
    if (cd == Failed()) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Six bytes of UTF-8 per byte in covers every encoding here; a little more for the end.
    text.resize(bytes.size() * 6 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = text.data();
    std::size_t outLeft = text.size();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
      return false;
    }
    text.resize(text.size() - outLeft);
    return true;
  }

 private:
  static iconv_t Failed() { return reinterpret_cast<iconv_t>(-1); }
  std::map<std::string, iconv_t> open_;
};

// Whether an answer reads a sample right, the sample's true text decoded once for all answers.
class DetectJudge {
 public:
  // Takes the next sample; false when its own encoding does not decode it, which would make every
  // answer look wrong (the caller reports it).
  bool SetSample(std::string_view bytes, std::string_view encoding) {
    bytes_ = bytes;
    trueIconv_ = IconvNameFor(encoding);
    return decoders_.Decode(trueIconv_, bytes_, truth_);
  }

  // The sample's text as its own encoding reads it, in UTF-8.
  const std::string& Truth() const { return truth_; }

  bool IsRight(std::string_view answer) {
    if (answer.empty()) return false;
    const std::string answerIconv = IconvNameFor(answer);
    if (answerIconv == trueIconv_) return true;
    return decoders_.Decode(answerIconv, bytes_, scratch_) && scratch_ == truth_;
  }

 private:
  IconvDecoders decoders_;
  std::string_view bytes_;
  std::string trueIconv_;
  std::string truth_;
  std::string scratch_;
};

}  // namespace corvane::bench
