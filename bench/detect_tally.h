// How often each detector was right, by table row and sample size, and the Markdown report of it:
// the accuracy of all detectors side by side, then, for the first detector (ours), the answers it
// gave as sure that were wrong, the goals it meets or misses, and its wrong answers by name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace corvane::bench {

struct DetectCount {
  int total = 0;
  int right = 0;
  int sureWrong = 0;     // wrong although the detector said it was sure
  int notSure = 0;       // the detector said the text does not tell
  int namedExactly = 0;  // answered with the sample's own encoding's name
  std::map<std::string, int> wrongNames;

  void Add(const DetectCount& o) {
    total += o.total;
    right += o.right;
    sureWrong += o.sureWrong;
    notSure += o.notSure;
    namedExactly += o.namedExactly;
    for (const auto& [name, n] : o.wrongNames)
      wrongNames[name] += n;
  }
  double Percent() const { return total == 0 ? 0.0 : 100.0 * right / total; }
};

class DetectTally {
 public:
  explicit DetectTally(std::vector<std::string> detectors) : detectors_(std::move(detectors)) {}

  void Count(std::size_t detector, const std::string& row, std::size_t size,
             std::string_view trueEncoding, std::string_view answer, bool sure, bool right) {
    if (std::find(rows_.begin(), rows_.end(), row) == rows_.end()) rows_.push_back(row);
    if (std::find(sizes_.begin(), sizes_.end(), size) == sizes_.end()) sizes_.push_back(size);
    DetectCount& count = counts_[{detector, row, size}];
    ++count.total;
    count.right += right ? 1 : 0;
    count.sureWrong += !right && sure ? 1 : 0;
    count.notSure += sure ? 0 : 1;
    count.namedExactly += answer == trueEncoding ? 1 : 0;
    if (!right) ++count.wrongNames[answer.empty() ? "(none)" : std::string(answer)];
  }

  std::string Markdown(double goalAt1024) const {
    std::string out;
    Accuracy(out);
    Ours(out);
    Goals(out, goalAt1024);
    WrongAnswers(out);
    return out;
  }

 private:
  using Key = std::tuple<std::size_t, std::string, std::size_t>;

  const DetectCount& At(std::size_t detector, const std::string& row, std::size_t size) const {
    static const DetectCount kNone;
    const auto found = counts_.find({detector, row, size});
    return found != counts_.end() ? found->second : kNone;
  }
  DetectCount Overall(std::size_t detector, std::size_t size) const {
    DetectCount sum;
    for (const std::string& row : rows_)
      sum.Add(At(detector, row, size));
    return sum;
  }

  static std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
  }

  void Header(std::string& out) const {
    out += "| Encoding |";
    for (const std::size_t size : sizes_)
      out += " " + std::to_string(size) + " B |";
    out += "\n| --- |";
    for (std::size_t i = 0; i < sizes_.size(); ++i)
      out += " ---: |";
    out += "\n";
  }

  // One row of cells, each the detectors' values joined by " / ".
  template <typename Cell>
  void Row(std::string& out, const std::string& label, std::size_t detectors, Cell cell) const {
    out += "| " + label + " |";
    for (const std::size_t size : sizes_) {
      out += " ";
      for (std::size_t d = 0; d < detectors; ++d)
        out += (d ? " / " : "") + cell(d, size);
      out += " |";
    }
    out += "\n";
  }

  void Accuracy(std::string& out) const {
    out +=
        "### Detection accuracy\n\nHeld-out samples whose answer decodes them to the same text "
        "as their own encoding does, in %; each cell: ";
    for (std::size_t d = 0; d < detectors_.size(); ++d)
      out += (d ? " / " : "") + detectors_[d];
    out += ". About " + std::to_string(At(0, rows_.front(), sizes_.front()).total) +
           " samples per encoding and size; UTF-16 is half little-endian, half big-endian, "
           "without a byte order mark.\n\n";
    Header(out);
    for (const std::string& row : rows_) {
      Row(out, row, detectors_.size(), [&](std::size_t d, std::size_t size) {
        return Format("%.1f", At(d, row, size).Percent());
      });
    }
    Row(out, "**overall**", detectors_.size(), [&](std::size_t d, std::size_t size) {
      return "**" + Format("%.1f", Overall(d, size).Percent()) + "**";
    });
  }

  void Ours(std::string& out) const {
    out += "\n### " + detectors_[0] +
           ": sure but wrong / not sure\n\nSamples it answered wrongly although it said it was "
           "sure, and samples where it said the text does not tell.\n\n";
    Header(out);
    const auto cell = [](const DetectCount& c) {
      return std::to_string(c.sureWrong) + " / " + std::to_string(c.notSure);
    };
    for (const std::string& row : rows_) {
      Row(out, row, 1, [&](std::size_t, std::size_t size) { return cell(At(0, row, size)); });
    }
    Row(out, "**overall**", 1,
        [&](std::size_t, std::size_t size) { return "**" + cell(Overall(0, size)) + "**"; });
  }

  void Goals(std::string& out, double goalAt1024) const {
    out += "\n### Goals for " + detectors_[0] +
           "\n\n- Overall accuracy above every other "
           "detector's at every size:";
    bool first = true;
    for (const std::size_t size : sizes_) {
      const double ours = Overall(0, size).Percent();
      double best = 0;
      for (std::size_t d = 1; d < detectors_.size(); ++d) {
        best = std::max(best, Overall(d, size).Percent());
      }
      out += (first ? " " : ", ") + std::to_string(size) + " B " +
             (ours > best ? "met" : "**missed**") + Format(" (%.1f vs %.1f)", ours, best);
      first = false;
    }
    out += Format("\n- At least %.0f %% at 1024 B for every encoding: ", goalAt1024);
    std::string missing;
    for (const std::string& row : rows_) {
      const double percent = At(0, row, 1024).Percent();
      if (percent < goalAt1024) {
        missing += (missing.empty() ? "" : ", ") + row + Format(" (%.1f)", percent);
      }
    }
    out += missing.empty() ? "met" : "**missed** by " + missing;
    out += "\n- Sure but wrong, all sizes:";
    int sureWrong = 0, total = 0;
    for (const std::size_t size : sizes_) {
      sureWrong += Overall(0, size).sureWrong;
      total += Overall(0, size).total;
    }
    out += " " + std::to_string(sureWrong) + " of " + std::to_string(total) + " samples";
    if (std::find(rows_.begin(), rows_.end(), "US-ASCII") != rows_.end()) {
      out += "\n- US-ASCII samples answered US-ASCII:";
      for (const std::size_t size : sizes_) {
        const DetectCount& c = At(0, "US-ASCII", size);
        out += " " + std::to_string(size) + " B " + std::to_string(c.namedExactly) + "/" +
               std::to_string(c.total) + ";";
      }
      out.pop_back();
    }
    out += "\n";
  }

  void WrongAnswers(std::string& out) const {
    out += "\n### " + detectors_[0] +
           "'s wrong answers\n\nThe commonest, by encoding and "
           "size (answer ×count).\n\n| Encoding | Size | Wrong answers |\n| --- | ---: | --- |\n";
    for (const std::string& row : rows_) {
      for (const std::size_t size : sizes_) {
        const DetectCount& c = At(0, row, size);
        if (c.wrongNames.empty()) continue;
        std::vector<std::pair<int, std::string>> names;
        for (const auto& [name, n] : c.wrongNames)
          names.emplace_back(-n, name);
        std::sort(names.begin(), names.end());
        if (names.size() > 4) names.resize(4);
        out += "| " + row + " | " + std::to_string(size) + " |";
        for (std::size_t i = 0; i < names.size(); ++i) {
          out += (i ? ", " : " ") + names[i].second + " ×" + std::to_string(-names[i].first);
        }
        out += " |\n";
      }
    }
  }

  std::vector<std::string> detectors_;
  std::vector<std::string> rows_;
  std::vector<std::size_t> sizes_;
  std::map<Key, DetectCount> counts_;
};

}  // namespace corvane::bench
