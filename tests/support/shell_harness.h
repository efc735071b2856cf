#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "app/application.h"
#include "app/live_journal.h"
#include "app/meeting_session.h"
#include "platform/file_store.h"
#include "platform/tick_clock.h"
#include "shell/main_window.h"
#include "shell/meeting_opening.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/startup_files.h"
#include "tests/support/test_folders.h"

class QAction;
class QWidget;

namespace palomind::testing {

// The main window's toolbar button with this key, or null.
QAction* ToolbarButton(const QWidget& window, std::string_view key);

// The real application and main window over fakes of every platform piece,
// in a temporary current directory, with a tick counter the test moves.
class ShellHarness {
  public:
    // `bootIdentity`: the machine's boot the program runs on; `run`: the
    // name of its journal, which tells its start.
    explicit ShellHarness(std::string bootIdentity = "boot-1",
                          std::string run = "palomind-20240501-093000-4242");
    ~ShellHarness();

    // Starts the journal, creates the main window and the meetings' opening
    // and runs the start sequence, the meeting open at the last end first.
    void Start();
    // Closes the main window as the operator would (its shutdown runs).
    void Close();

    void WriteFile(const std::string& name, std::string_view bytes) const {
        WriteBytes(name, bytes);
    }
    std::string ReadFile(const std::string& name) const { return ReadBytes(name); }

    QAction* Button(std::string_view key) const;  // a toolbar button by key
    QAction* Item(const char* objectName) const;  // a menu item by name
    void Press(std::string_view key) const;       // clicks a toolbar button
    void Choose(const char* objectName) const;    // chooses a menu item

    // Moves the tick counter in 10 ms steps up to `tick`, running the race
    // clock's timer at every step.
    void RunClockUntil(std::int32_t tick);
    std::int32_t Now() { return ticks.TimeGetTime(); }

    const RaceState& State() { return app->State(); }
    // The race window's model with the comment as typed (committed first).
    const RaceWindowModel& Model() { return app->Document().window; }

    TemporaryCurrentDirectory directory;
    SetTickClock ticks;
    RecordingSoundPlayer sound{ticks};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    DiskFileStore files;
    LiveJournal journal;
    std::unique_ptr<Application> app;
    std::unique_ptr<MeetingSession> session;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<MeetingOpening> meetings;
    // What the meetings' clock says: a new meeting's date.
    std::time_t now = 1'765'000'000;
};

// The program started quietly in a folder holding a settings file (the given
// port, the default times) and a roster: the usual start of a command test.
class StartedShellTest : public ::testing::Test {
  protected:
    void SetUp() override { StartWithFiles(1); }
    void StartWithFiles(int port) {
        h.WriteFile("Palomind.ini", SettingsFileBytes(port, 480, 10, 0));
        h.WriteFile("idname.ind", RosterFileBytes());
        h.Start();
        ASSERT_TRUE(h.dialogs.messages.empty());
    }

    ShellHarness h;
};

}  // namespace palomind::testing
