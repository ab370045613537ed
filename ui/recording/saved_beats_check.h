#pragma once

#include <QString>
#include <optional>

#include "editing/beat_list_files.h"

namespace rrscope::ui {

// Why saved beats may not be restored into the opened recording, for the
// user; none when they belong to it.
std::optional<QString> savedBeatsMismatch(const editing::SavedBeats& saved,
                                          const editing::RecordingIdentity& opened);

}  // namespace rrscope::ui
