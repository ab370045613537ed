// The beats of a recording as the programs find them, block by block:
// one 1-based sample position a line, as rrscope-batch --peaks lists them.
#include <iomanip>
#include <iostream>
#include <vector>

#include "beats/sample_source.h"
#include "pipeline/blockwise_detection.h"
#include "pipeline/recording_reading.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  using namespace rrscope;
  const recordings::Recording recording = pipeline::readRecordingChannel(argv[1], {});
  std::vector<double> samples(recording.sampleCount());
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = recording.physical(i);
  const beats::DetectedBeats detected =
      pipeline::detectBeatsInBlocks(beats::SpanSamples(samples), recording.rate.hertz());
  std::cout << std::setprecision(17);
  for (const double beat : detected.beats) std::cout << beat + 1 << '\n';
}
