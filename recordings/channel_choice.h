#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rrscope::recordings {

// What --signal asks for: a 0-based number or a label; nothing means the
// first ECG-like channel.
struct ChannelRequest {
  std::optional<std::string> text;
};

// True for labels that name an ECG lead: ECG, EKG, MLII, II, V1 to V6, also
// inside longer labels such as "ECG II" or "EKG-V2".
bool looksLikeEcg(std::string_view label);

// What to do when nothing is asked for and no label looks like ECG. WFDB
// labels are optional, so the first signal is the best guess there; EDF
// labels are always written, so a file without an ECG label most likely
// holds none, and analysing its first channel would mislead.
enum class WithoutEcgLabel { takeFirst, refuse };

// The index of the channel to read among `labels`. Throws RecordingError
// naming `file` when the request matches no channel.
std::size_t chooseChannel(std::span<const std::string> labels, const ChannelRequest& request,
                          std::string_view file, WithoutEcgLabel fallback);

}  // namespace rrscope::recordings
