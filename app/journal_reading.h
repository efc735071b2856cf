#pragma once
#include <string_view>

#include "journal/journal.h"

namespace palomind {

// Reads a whole journal as the replay and the restore take it: the journal's
// own form, and beyond it every opened result file ("open") checked as File >
// Open checks a file (cp932 throughout, every record present, MaxLap 0 to
// 1000, EntryCount 0 to 63). Any bad line fails the whole read, naming the
// line, so nothing of a damaged journal is ever applied.
JournalParseResult ReadJournal(std::string_view text);

}  // namespace palomind
