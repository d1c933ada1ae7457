// The three detectors the detection benchmark compares, behind one call: bytes in, the name of
// the likeliest encoding out. Each keeps its detector object from call to call where its
// interface allows, as a program that detects many texts would.
#pragma once

#include <uchardet.h>
#include <unicode/ucsdet.h>

#include <cstdint>
#include <string_view>

#include "corvane.hpp"

namespace corvane::bench {

struct DetectAnswer {
  std::string_view name;  // empty when the detector gives none; valid until its next call
  bool sure = true;       // only corvane says when the text does not tell
};

class CorvaneDetector {
 public:
  static constexpr const char* kName = "corvane";
  DetectAnswer operator()(std::string_view bytes) const {
    const Detection found = detect(bytes);
    return {found.encoding.name(), found.sure};
  }
};

// uchardet: one detector reset before each text.
class UchardetDetector {
 public:
  static constexpr const char* kName = "uchardet";
  UchardetDetector() : detector_(uchardet_new()) {}
  ~UchardetDetector() { uchardet_delete(detector_); }
  UchardetDetector(const UchardetDetector&) = delete;
  UchardetDetector& operator=(const UchardetDetector&) = delete;

  DetectAnswer operator()(std::string_view bytes) {
    uchardet_reset(detector_);
    if (uchardet_handle_data(detector_, bytes.data(), bytes.size()) != 0) return {};
    uchardet_data_end(detector_);
    const char* name = uchardet_get_charset(detector_);
    return {name != nullptr ? name : ""};
  }

 private:
  uchardet_t detector_;
};

// ICU's charset detector: one opened once and given each text in turn.
class IcuDetector {
 public:
  static constexpr const char* kName = "ICU";
  IcuDetector() {
    UErrorCode error = U_ZERO_ERROR;
    detector_ = ucsdet_open(&error);
    if (U_FAILURE(error)) detector_ = nullptr;
  }
  ~IcuDetector() {
    if (detector_ != nullptr) ucsdet_close(detector_);
  }
  IcuDetector(const IcuDetector&) = delete;
  IcuDetector& operator=(const IcuDetector&) = delete;

  DetectAnswer operator()(std::string_view bytes) {
    if (detector_ == nullptr) return {};
    UErrorCode error = U_ZERO_ERROR;
    ucsdet_setText(detector_, bytes.data(), static_cast<std::int32_t>(bytes.size()), &error);
    const UCharsetMatch* match = ucsdet_detect(detector_, &error);
    if (U_FAILURE(error) || match == nullptr) return {};
    const char* name = ucsdet_getName(match, &error);
    return {U_SUCCESS(error) && name != nullptr ? name : ""};
  }

 private:
  UCharsetDetector* detector_ = nullptr;
};

}  // namespace corvane::bench
