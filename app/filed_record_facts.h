#pragma once
#include <map>
#include <optional>
#include <string>

#include "app/race_revision.h"
#include "meeting/meeting_model.h"
#include "meeting/meeting_schedule.h"
#include "platform/file_store.h"
#include "record/corrections.h"

namespace palomind {

// The race record `file` in the meeting's races/, read and checked as
// opening one checks it; nothing, with `error` one line naming the file,
// where it cannot be read or is not a sound race record.
std::optional<RaceRecord> ReadFiledRecord(const std::string& folder, const std::string& file,
                                          FileStore& files, std::string& error);

// What the schedule needs of a filed record scored at its latest revision:
// all finished where every entrant had, stopped otherwise (a record read
// from the disk has ended as far as this reader can know).
RecordFacts FactsOfFiledRevision(const Revision& latest);

// What the schedule needs of every race record filed in a meeting, each
// read from the meeting's races/ and scored at its latest revision: all
// finished where every entrant had, stopped otherwise (a record read from
// the disk has ended as far as this reader can know), provisional where a
// flagged short lap is unresolved. Nothing, with `error` one line naming
// the file, where a record cannot be read or is not a sound race record.
std::optional<std::map<std::string, RecordFacts>> FiledRecordFacts(const Meeting& meeting,
                                                                   const std::string& folder,
                                                                   FileStore& files,
                                                                   std::string& error);

}  // namespace palomind
