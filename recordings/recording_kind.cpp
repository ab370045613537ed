#include <algorithm>
#include <cctype>
#include <filesystem>

#include "recordings/read_recording.h"

namespace rrscope::recordings {

RecordingKind recordingKindOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".edf" || extension == ".bdf") return RecordingKind::edf;
  if (extension == ".hea") return RecordingKind::wfdb;
  if (extension == ".ecg") return RecordingKind::ishne;
  if (extension == ".gdf") return RecordingKind::gdf;
  return RecordingKind::text;
}

WithoutEcgLabel withoutEcgLabelFor(RecordingKind kind) {
  const bool labelsSayLittle = kind == RecordingKind::wfdb || kind == RecordingKind::ishne;
  return labelsSayLittle ? WithoutEcgLabel::takeFirst : WithoutEcgLabel::refuse;
}

}  // namespace rrscope::recordings
