#include <iostream>

#include "recordings/read_recording.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const rrscope::recordings::Recording recording =
      rrscope::recordings::readWfdbRecording(argv[1], {});
  std::cout << recording.sampleCount() << ' ' << recording.rate.hertz() << '\n';
}
