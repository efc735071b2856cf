#include "tests/support/meeting_harness.h"

#include <gtest/gtest.h>

#include "documents/cp932.h"
#include "meeting/meeting_folder.h"
#include "tests/support/startup_files.h"

namespace palomind::testing {

MeetingHarness::MeetingHarness()
    : app({clock, sound, serial, settings, dialogs, memoryFiles, journal, "boot-1"}),
      records(working.Path() / "races"),
      recorder(records, RaceRecorder::WhenTaken::NextNumber, 1'765'270'800),
      session(app, diskFiles, working.Path() / "races") {
    clock.Set(2'000'000);
    memoryFiles.files["Palomind.ini"] = Utf8ToCp932("1\r\n20\r\n2\r\n0\r\n\"レース\"\r\n");
    memoryFiles.files["idname.ind"] = RosterFileBytes();
    app.LoadStartupFiles();
    app.KeepRaceRecords(&recorder);
    app.KeepRaceRecordsIn(&records);
    app.Boot();
    EXPECT_TRUE(serial.Open(1));
}

void MeetingHarness::OpenMeeting(const Meeting& meeting) {
    std::string error;
    ASSERT_TRUE(SaveMeeting(Folder(), meeting, diskFiles, error)) << error;
    ASSERT_EQ(session.Open(Folder()), "");
}

void MeetingHarness::RunFor(std::int32_t ms) {
    for (const std::int32_t end = clock.TimeGetTime() + ms; clock.TimeGetTime() < end;) {
        clock.Set(clock.TimeGetTime() + 10);
        app.Timer1_Timer();
    }
}

void MeetingHarness::RunStoppedRace(const std::vector<std::uint8_t>& ids,
                                    const std::vector<std::int32_t>& lapMs) {
    app.StartRace();
    RunFor(app.State().StartWait * 1000 + 100);
    for (const std::uint8_t id : ids) Pass(id);
    for (const std::int32_t lap : lapMs) {
        RunFor(lap);
        for (const std::uint8_t id : ids) Pass(id);
    }
    RunFor(20);
    app.StopRace();
    RunFor(1000);  // the next record takes another second
}

}  // namespace palomind::testing
