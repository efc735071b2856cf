#include "meeting/meeting_folder.h"

#include <filesystem>

#include "meeting/meeting_json.h"

namespace palomind {

std::string MeetingFilePath(const std::string& folder) {
    return (std::filesystem::path(folder) / kMeetingFileName).string();
}

LoadedMeeting LoadMeeting(const std::string& folder, FileStore& files) {
    const std::string path = MeetingFilePath(folder);
    LoadedMeeting loaded;
    const std::optional<std::string> text = files.ReadAll(path);
    if (!text) {
        loaded.problem = LoadedMeeting::Problem::Unreadable;
        loaded.error = path + ": cannot be read" + FailureReasonSuffix(files);
        return loaded;
    }
    std::string why;
    loaded.meeting = ReadMeetingJson(*text, why);
    if (!loaded.meeting) {
        loaded.problem = LoadedMeeting::Problem::Refused;
        loaded.error = path + ": " + why;
    }
    return loaded;
}

MeetingCreation CreateMeetingFolder(const std::string& folder, const std::string& name,
                                    const std::string& date, FileStore& files, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::path path(folder);
    const bool used = fs::exists(path, failure) &&
                      (!fs::is_directory(path, failure) || !fs::is_empty(path, failure));
    if (used || failure) {
        error = folder + ": not an empty folder";
        return MeetingCreation::FolderInUse;
    }
    fs::create_directories(path / kMeetingRacesFolder, failure);
    if (failure) {
        error = folder + ": cannot be created: " + failure.message();
        return MeetingCreation::CannotBeWritten;
    }
    Meeting meeting;
    meeting.name = name;
    meeting.date = date;
    return SaveMeeting(folder, meeting, files, error) ? MeetingCreation::Created
                                                      : MeetingCreation::CannotBeWritten;
}

bool SaveMeeting(const std::string& folder, const Meeting& meeting, FileStore& files,
                 std::string& error) {
    const std::string path = MeetingFilePath(folder);
    if (files.WriteAtomically(path, MeetingJson(meeting))) return true;
    error = path + ": cannot be written" + FailureReasonSuffix(files);
    return false;
}

}  // namespace palomind
