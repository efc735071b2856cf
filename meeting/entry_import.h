#pragma once
#include <string>
#include <string_view>

#include "meeting/meeting_model.h"

namespace palomind {

// Adds the entrants of a CSV file (its raw bytes) to the meeting's entry
// list, creating with the default settings the classes it names that the
// meeting does not have yet. The file is UTF-8 where it is well-formed
// UTF-8 (a byte order mark is skipped), cp932 otherwise; its first record
// names the columns (docs/meeting.md, "The entry list"). Entry numbers not
// given follow the largest one so far. Returns false with `error` naming
// the row (the header is row 1) and the reason, the meeting unchanged,
// where any row is refused.
bool ImportEntries(Meeting& meeting, std::string_view bytes, std::string& error);

}  // namespace palomind
