#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "meeting/meeting_model.h"

namespace palomind {

// meeting.json (docs/meeting.md, "The meeting folder"): "format"
// "palomind-meeting", "version" 1.
inline constexpr std::int64_t kMeetingFormatVersion = 1;

// The meeting as meeting.json holds it: UTF-8 JSON, indented, ending in a
// line break.
std::string MeetingJson(const Meeting& meeting);

// The meeting in `text`; nothing, with `error` saying in one line what is
// wrong and where ("entries[3].transponder: must be at most 63"), for text
// that is not JSON, not a meeting, of a newer version or of the wrong shape.
std::optional<Meeting> ReadMeetingJson(std::string_view text, std::string& error);

}  // namespace palomind
