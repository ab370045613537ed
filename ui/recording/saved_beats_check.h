#pragma once

#include <QString>
#include <optional>

#include "pipeline/beat_list_files.h"

namespace rrscope::ui {

// Why saved beats may not be restored into the opened recording, for the
// user; none when they belong to it.
std::optional<QString> savedBeatsMismatch(const pipeline::SavedBeats& saved,
                                          const pipeline::RecordingIdentity& opened);

}  // namespace rrscope::ui
