#include "measure_curves.h"

#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "numpy_arrays.h"

namespace rrscope::python {
namespace {

py::dict spectrumDict(const hrv::Spectrum& spectrum) {
  py::dict curve;
  curve["frequencies_hz"] = arrayOf(std::vector<double>(spectrum.frequenciesHz));
  curve["density_ms2_per_hz"] = arrayOf(std::vector<double>(spectrum.densitiesMs2PerHz));
  return curve;
}

py::object fitDict(const std::optional<hrv::DfaFit>& fit) {
  if (!fit) return py::none();
  py::dict line;
  line["slope"] = fit->slope;
  line["intercept"] = fit->intercept;  // of log10 F against log10 n
  return line;
}

py::dict histogramDict(const hrv::Measures& measures) {
  const auto& counts = measures.histogram.counts;
  std::vector<double> edges(counts.size());
  for (std::size_t bin = 0; bin < counts.size(); ++bin)
    edges[bin] = measures.histogram.leftEdgeMs(bin);
  py::dict histogram;
  histogram["left_edges_ms"] = arrayOf(std::move(edges));
  histogram["counts"] =
      py::array_t<std::int64_t>(static_cast<py::ssize_t>(counts.size()), counts.data());
  histogram["bin_width_ms"] = hrv::kBinWidthMs;
  return histogram;
}

py::object triangleDict(const std::optional<hrv::Triangle>& triangle) {
  if (!triangle) return py::none();
  py::dict corners;
  corners["n_ms"] = triangle->nMs;
  corners["x_ms"] = triangle->xMs;
  corners["m_ms"] = triangle->mMs;
  corners["y"] = triangle->y;
  return corners;
}

}  // namespace

py::dict measureCurves(const hrv::Measures& measures, std::span<const double> intervalsMs) {
  py::dict curves;
  curves["histogram"] = histogramDict(measures);
  curves["triangle"] = triangleDict(measures.triangle);
  curves["welch"] = spectrumDict(measures.spectrum);
  curves["ar"] = spectrumDict(measures.arSpectrum);
  curves["lomb_scargle"] = spectrumDict(measures.lsSpectrum);
  py::dict dfa;
  dfa["box_sizes"] = py::array_t<std::size_t>(
      static_cast<py::ssize_t>(measures.dfa.boxSizes.size()), measures.dfa.boxSizes.data());
  dfa["fluctuation"] = arrayOf(std::vector<double>(measures.dfa.fluctuation));
  dfa["alpha1"] = fitDict(measures.dfa.alpha1);
  dfa["alpha2"] = fitDict(measures.dfa.alpha2);
  curves["dfa"] = dfa;
  // Each interval against the next, as SD1 and SD2 are read from them.
  py::dict poincare;
  const std::size_t pairs = intervalsMs.empty() ? 0 : intervalsMs.size() - 1;
  poincare["x_ms"] = arrayOf(std::vector<double>(intervalsMs.begin(), intervalsMs.begin() + pairs));
  poincare["y_ms"] =
      arrayOf(std::vector<double>(intervalsMs.begin() + (pairs > 0 ? 1 : 0), intervalsMs.end()));
  curves["poincare"] = poincare;
  return curves;
}

py::object measureFrame(const py::list& rows) {
  py::module_ pandas;
  try {
    pandas = py::module_::import("pandas");
  } catch (const py::error_already_set&) {
    throw py::import_error(
        "as_frame needs pandas (Debian: python3-pandas); without it hrv "
        "returns dicts");
  }
  // The reason columns of every key undefined in any row, None elsewhere.
  py::dict reasonColumns;
  for (const py::handle row : rows) {
    for (const auto item : row["undefined"].cast<py::dict>()) {
      reasonColumns[py::str(py::str(item.first).cast<std::string>() + "_undefined")] = py::none();
    }
  }
  py::list records;
  for (const py::handle row : rows) {
    py::dict record;
    for (const auto item : row.cast<py::dict>()) {
      if (py::str(item.first).cast<std::string>() != "undefined") record[item.first] = item.second;
    }
    for (const auto column : reasonColumns) record[column.first] = py::none();
    for (const auto item : row["undefined"].cast<py::dict>()) {
      record[py::str(py::str(item.first).cast<std::string>() + "_undefined")] = item.second;
    }
    records.append(record);
  }
  return pandas.attr("DataFrame")(records);
}

}  // namespace rrscope::python
