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

bool SaveMeeting(const std::string& folder, const Meeting& meeting, FileStore& files,
                 std::string& error) {
    const std::string path = MeetingFilePath(folder);
    if (files.WriteAtomically(path, MeetingJson(meeting))) return true;
    error = path + ": cannot be written" + FailureReasonSuffix(files);
    return false;
}

}  // namespace palomind
