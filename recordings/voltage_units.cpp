#include "recordings/voltage_units.h"

namespace rrscope::recordings {

double millivoltsPer(const std::string& units) {
  if (units == "mV") return 1.0;
  if (units == "V") return 1000.0;
  if (units == "uV" || units == "\xC2\xB5V" || units == "\xB5V" || units == "\xCE\xBCV") {
    return 0.001;
  }
  return 0.0;
}

}  // namespace rrscope::recordings
