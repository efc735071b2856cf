#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/tick_clock.h"
#include "app/application.h"
#include "app/live_journal.h"
#include "shell/main_window.h"
#include "tests/shell/shell_fakes.h"

class QAction;

namespace palomind::testing {

// A fresh temporary folder as the process's current directory, where the
// program's files (settings, roster, journal, result files) land.
class TempCurrentDirectory {
  public:
    TempCurrentDirectory();
    ~TempCurrentDirectory();
    TempCurrentDirectory(const TempCurrentDirectory&) = delete;
    TempCurrentDirectory& operator=(const TempCurrentDirectory&) = delete;

  private:
    QTemporaryDir dir_;
    QString previous_;
};

// The settings file "Palomind.ini" with these four values and the comment.
std::string SettingsFileBytes(int port, int raceTime, int startWait, int ttsMode);

// The roster file "idname.ind" naming IDs 1 to 64 "R01" to "R64".
std::string RosterFileBytes();

// One receiver frame for the ID: sync run, ID, two data bytes, checksum.
std::vector<std::uint8_t> Frame(std::uint8_t id, std::uint8_t data1 = 0x10,
                                std::uint8_t data2 = 0x20);

// The real application and main window over fakes of every platform piece,
// in a temporary current directory, with a tick counter the test moves.
class ShellHarness {
  public:
    ShellHarness();
    ~ShellHarness();

    // Starts the journal, creates the main window and runs its start sequence.
    void Start();
    // Closes the main window as the operator would (its shutdown runs).
    void Close();

    void WriteFile(const std::string& name, std::string_view bytes) const;
    std::string ReadFile(const std::string& name) const;

    QAction* Button(std::string_view key) const;  // a toolbar button by key
    QAction* Item(const char* objectName) const;  // a menu item by name
    void Press(std::string_view key) const;       // clicks a toolbar button
    void Choose(const char* objectName) const;    // chooses a menu item

    // Moves the tick counter in 10 ms steps up to `tick`, running the race
    // clock's timer at every step.
    void RunClockUntil(std::int32_t tick);
    std::int32_t Now() const { return ticks.Get(); }

    RaceState& State() { return app->State(); }
    RaceWindowModel& Model() { return app->Window(); }

    TempCurrentDirectory directory;
    struct ManualClock final : TickClock {
        std::int32_t TimeGetTime() override { return tick; }
        std::int32_t Get() const { return tick; }
        std::int32_t tick = 1'000'000;
    } ticks;
    RecordingSoundPlayer sound{ticks};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    DiskFileStore files;
    LiveJournal journal{"journal", "palomind-20240501-093000-4242", 5};
    std::unique_ptr<Application> app;
    std::unique_ptr<frmMain> window;
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
