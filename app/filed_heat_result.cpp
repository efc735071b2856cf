#include "app/filed_heat_result.h"

#include "app/filed_record_facts.h"

namespace palomind {

std::optional<FiledHeatResult> ReadFiledHeatResult(const Meeting& meeting,
                                                   const std::string& folder,
                                                   const ScheduledHeat& heat, FileStore& files,
                                                   std::string& error) {
    error.clear();
    const std::vector<HeatRecord>* records = RecordsOfHeat(meeting, heat.id);
    const HeatRecord* standing = records == nullptr ? nullptr : StandingRecord(*records);
    if (standing == nullptr) return std::nullopt;
    const std::optional<RaceRecord> record = ReadFiledRecord(folder, standing->file, files, error);
    if (!record) return std::nullopt;
    const Revision latest = ScoreRevision(*record, static_cast<int>(record->corrections.size()));
    return FiledHeatResult{.file = standing->file,
                           .heat = HeatResultOf(latest, heat.entrants),
                           .provisional = latest.provisional};
}

}  // namespace palomind
