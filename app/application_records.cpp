// The application's side of the race records: the recorder follows every
// event the one dispatcher applies, and a crashed run's restore goes on
// writing the record of the race it brings back.
#include <filesystem>

#include "app/application.h"
#include "record/race_start_time.h"

namespace palomind {

void Application::KeepRaceRecords(RaceRecorder* recorder) {
    if (recorder_ != nullptr) core_.StopObserving(recorder_);
    recorder_ = recorder;
    if (recorder_ == nullptr) return;
    core_.Observe(recorder_);
    recorder_->SetFailureHandler([this](const std::string& identity) {
        ReportPlatformProblem(PlatformProblem::JournalFailed,
                              "レース記録を書き込めません: " + identity + ".race");
    });
}

bool Application::MoveRaceRecords(const std::filesystem::path& folder) {
    if (recordsFolder_ == nullptr) return false;
    if (recordsFolder_->Folder() == folder) return true;
    recordsFolder_->MoveTo(folder);
    NoteInJournal("race records from the next start go into " + folder.string());
    return true;
}

std::optional<RaceIdentity> Application::ShownRace() const {
    return recorder_ != nullptr ? recorder_->CurrentRace() : std::nullopt;
}

void Application::CatchUpRaceRecords(std::string_view crashedJournal) {
    if (recorder_ == nullptr) return;
    const std::string name = std::filesystem::path(crashedJournal).filename().string();
    recorder_->CatchUp(RunStartFromJournalName(name));
}

void Application::GoOnWithRaceRecord(bool sameCounter, std::string_view crashedJournal) {
    if (recorder_ == nullptr) return;
    const bool continued = recorder_->GoOnLive(sameCounter, core_.Now());
    if (const std::optional<std::string>& identity = recorder_->Current()) {
        // A restore after the machine restarted cannot repeat the crashed
        // run's events here: its race goes on in its own record.
        NoteInJournal("the race restored from " + std::string(crashedJournal) +
                      " goes on in the race record " + *identity);
    } else if (!continued) {
        NoteInJournal("the race record of the race restored from " + std::string(crashedJournal) +
                      " is not the race's beginning and is left as it is");
    }
}

}  // namespace palomind
