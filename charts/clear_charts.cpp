#include "charts/chart_stages.h"

namespace rrscope {

void clearCharts(RunContext& run) {
  for (const Picture picture : {Picture::Picture1, Picture::Picture2, Picture::Picture3,
                                Picture::Picture4, Picture::Picture5}) {
    run.window.surface(picture).Cls();
  }
}

}  // namespace rrscope
