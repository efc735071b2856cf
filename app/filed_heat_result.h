#pragma once
#include <optional>
#include <string>

#include "app/heat_result.h"
#include "meeting/meeting_model.h"
#include "meeting/meeting_schedule.h"
#include "platform/file_store.h"

namespace palomind {

// A heat's result as its standing record gives it at its latest revision.
struct FiledHeatResult {
    std::string file;  // the record's name in the meeting's races/
    HeatResult heat;
    bool provisional = false;  // a flagged short lap is unresolved
};

// Nothing, with `error` empty, where no record of `heat` stands (none filed
// or every one replaced); nothing, with `error` one line naming the file,
// where the standing record cannot be read.
std::optional<FiledHeatResult> ReadFiledHeatResult(const Meeting& meeting,
                                                   const std::string& folder,
                                                   const ScheduledHeat& heat, FileStore& files,
                                                   std::string& error);

}  // namespace palomind
