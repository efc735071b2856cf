#pragma once
#include <string>

#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "roster/roster_table.h"

namespace palomind {

inline constexpr const char* kRosterFileName = "idname.ind";

// Fills entries 1 to 64 from the roster file, one field each in ID order.
// When the file is missing, unreadable or holds fewer than 64 fields, every
// entry becomes "未登録" (also those read before the shortfall) and the
// operator is told a new roster will be made. Entry 0 is left alone.
void Load_IdName(RosterTable& names, FileStore& files, MessageSink& messages,
                 const std::string& path = kRosterFileName);

// Writes entries 1 to 64 as 64 quoted records. On failure tells the operator,
// leaves any previous file as it was and returns false.
bool Save_IdName(const RosterTable& names, FileStore& files, MessageSink& messages,
                 const std::string& path = kRosterFileName);

}  // namespace palomind
