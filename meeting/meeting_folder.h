#pragma once
#include <optional>
#include <string>

#include "meeting/meeting_model.h"
#include "platform/file_store.h"

namespace palomind {

// A meeting folder holds meeting.json and races/, the race records its
// heats ran; every name in meeting.json is relative to the folder, so a
// copy of the folder opens anywhere the same.
inline constexpr const char* kMeetingFileName = "meeting.json";
inline constexpr const char* kMeetingRacesFolder = "races";

std::string MeetingFilePath(const std::string& folder);

struct LoadedMeeting {
    enum class Problem {
        None,        // `meeting` holds it
        Unreadable,  // meeting.json is missing or cannot be read
        Refused,     // not JSON, a newer version or the wrong shape
    };
    std::optional<Meeting> meeting;
    Problem problem = Problem::None;
    std::string error;  // one line naming the file and what is wrong
};

// The meeting in `folder`. A refused file is never overwritten: the caller
// saves only a meeting this gave.
LoadedMeeting LoadMeeting(const std::string& folder, FileStore& files);

enum class MeetingCreation {
    Created,
    FolderInUse,     // `folder` is a file or a folder with something in it
    CannotBeWritten  // the folder or its meeting.json cannot be made
};

// A new meeting named `name` on `date` (YYYY-MM-DD) in `folder`, which must
// be empty or missing: the folder, its races/ and meeting.json. Anything but
// Created sets `error` to one line.
MeetingCreation CreateMeetingFolder(const std::string& folder, const std::string& name,
                                    const std::string& date, FileStore& files, std::string& error);

// Writes meeting.json in one step (a temporary file renamed over it), so a
// failure or a crash leaves the previous one whole. False, with `error` one
// line, where it cannot be written.
bool SaveMeeting(const std::string& folder, const Meeting& meeting, FileStore& files,
                 std::string& error);

}  // namespace palomind
