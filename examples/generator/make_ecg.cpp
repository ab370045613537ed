// rrscope-make-ecg: writes an ECG-like sample file for trying the program.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "examples/generator/ecg_signal.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: rrscope-make-ecg LINES OUTPUT.txt\n"
                 "  writes LINES samples (6000 a second) of an ECG-like signal\n";
    return 2;
  }
  const long long lines = std::atoll(argv[1]);
  if (lines < 0) {
    std::cerr << "rrscope-make-ecg: LINES must not be negative\n";
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary);
  if (!out) {
    std::cerr << "rrscope-make-ecg: cannot write " << argv[2] << '\n';
    return 1;
  }
  rrscope::writeEcgSignal(out, lines);
  out.close();
  if (!out) {
    std::cerr << "rrscope-make-ecg: writing " << argv[2] << " failed\n";
    return 1;
  }
  return 0;
}
