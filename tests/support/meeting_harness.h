#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/meeting_session.h"
#include "meeting/meeting_model.h"
#include "platform/file_store.h"
#include "platform/tick_clock.h"
#include "record/race_record_folder.h"
#include "record/race_recorder.h"
#include "tests/support/meeting_entrant.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/test_folders.h"
#include "tests/support/unwritten_journal.h"

namespace palomind::testing {

// The real application over fakes with a meeting session beside it, its
// races recorded as the program records them, and a meeting folder of its
// own: a meeting run without the main window.
class MeetingHarness {
  public:
    MeetingHarness();
    MeetingHarness(const MeetingHarness&) = delete;
    MeetingHarness& operator=(const MeetingHarness&) = delete;

    // Saves `meeting` in the meeting folder and opens it in the session.
    void OpenMeeting(const Meeting& meeting);
    std::string Folder() const { return meetingFolder.Path().string(); }

    // Moves the tick counter in 10 ms steps, running the race clock's timer.
    void RunFor(std::int32_t ms);
    // One pass of `id` through the receiver, read at the next step.
    void Pass(std::uint8_t id) { serial.Receive(Frame(id)); }
    // Starts the race of the heat loaded, runs its start wait, then gives
    // every transponder of `ids` a pass each of `lapMs` apart (the first one
    // opens its race) and stops the race.
    void RunStoppedRace(const std::vector<std::uint8_t>& ids,
                        const std::vector<std::int32_t>& lapMs);

    ScratchFolder working;
    ScratchFolder meetingFolder;
    SetTickClock clock;
    SilentSound sound;
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore memoryFiles;
    DiskFileStore diskFiles;
    UnwrittenJournal journal;
    Application app;
    RaceRecordFolder records;
    RaceRecorder recorder;
    MeetingSession session;
};

}  // namespace palomind::testing
