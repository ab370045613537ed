#include "charts/chart_stages.h"

namespace rrscope::charts {

void clearCharts(analysis::RunContext& run) {
  for (const analysis::Picture picture :
       {analysis::Picture::Picture1, analysis::Picture::Picture2, analysis::Picture::Picture3,
        analysis::Picture::Picture4, analysis::Picture::Picture5}) {
    run.window.surface(picture).Cls();
  }
}

}  // namespace rrscope::charts
