#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/opened_recording.h"

namespace rrscope::editing {

// What a saved beat list belongs to, so that it is offered back only to
// that recording: the file's name (without its folder, so that a folder
// moved keeps its beats), the rate the beats count in, the length in
// samples and a checksum of the analysed lead's samples, or of the
// intervals of an RR file.
struct RecordingIdentity {
  std::string fileName;
  recordings::SamplingRate rate;
  std::int64_t sampleCount = 0;
  std::uint64_t checksum = 0;
};

// The parts in which two identities differ.
enum class IdentityPart { fileName, rate, sampleCount, checksum };

RecordingIdentity identityOf(const OpenedRecording& opened);

// The identity as one line of text (at most 255 bytes), as the annotation
// file keeps it in a note, and read back; none for a text that is no
// identity.
std::string identityText(const RecordingIdentity& identity);
std::optional<RecordingIdentity> readIdentityText(std::string_view text);

std::vector<IdentityPart> differences(const RecordingIdentity& saved,
                                      const RecordingIdentity& opened);

}  // namespace rrscope::editing
