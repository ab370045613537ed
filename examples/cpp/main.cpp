// Prints the number of beats and the RMSSD of an ECG recording:
//   rrscope-example RECORD.hea
#include <exception>
#include <iostream>

#include "hrv/hrv_measures.h"
#include "pipeline/recording_analysis.h"
#include "pipeline/recording_reading.h"
#include "rrscope/version.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: rrscope-example RECORDING (RRscope " << rrscope::kVersion << ")\n";
    return 2;
  }
  using namespace rrscope;
  try {
    // The first ECG lead, as the programs choose it.
    const recordings::Recording recording = pipeline::readRecordingChannel(argv[1], {});
    const pipeline::RecordingAnalysis analysis =
        pipeline::analyseRecording(recording, {.hrv = true}, std::nullopt);
    std::cout << "beats " << analysis.detected.size() << '\n';
    const hrv::MeasureValue rmssd = (*analysis.measures)[hrv::Measure::rmssd];
    if (rmssd.defined()) {
      std::cout << "rmssd_ms " << rmssd.value() << '\n';
    } else {
      std::cout << "rmssd_ms undefined: " << hrv::undefinedText(rmssd.reason()) << '\n';
    }
  } catch (const std::exception& error) {
    std::cerr << "rrscope-example: " << error.what() << '\n';
    return 1;
  }
}
