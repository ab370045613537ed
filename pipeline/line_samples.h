#pragma once

#include "analysis/sample_lines.h"
#include "beats/sample_source.h"

namespace rrscope::pipeline {

// The samples of a loaded sample file, each line read with the window's
// numeric parse when the detector asks for it. A sample beyond the range of
// numbers stops the reading with the window's overflow error for that line.
class LineSamples final : public beats::SampleSource {
 public:
  explicit LineSamples(const analysis::SampleLines& lines) : lines_(lines) {}
  std::int64_t size() const override { return lines_.lineCount(); }
  void read(std::int64_t first, std::span<double> out) const override;

 private:
  const analysis::SampleLines& lines_;
};

}  // namespace rrscope::pipeline
