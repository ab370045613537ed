#pragma once

#include "beats/sample_source.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

// The samples of a recording in physical units, for the beat detector,
// computed from the converter's values as they are read.
class RecordingSamples final : public beats::SampleSource {
 public:
  explicit RecordingSamples(const recordings::Recording& recording) : recording_(recording) {}
  std::int64_t size() const override { return static_cast<std::int64_t>(recording_.sampleCount()); }
  void read(std::int64_t first, std::span<double> out) const override {
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i] = recording_.physical(static_cast<std::size_t>(first) + i);
    }
  }

 private:
  const recordings::Recording& recording_;
};

}  // namespace rrscope::pipeline
