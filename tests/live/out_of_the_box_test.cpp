// The application as a newcomer starts it: no receiver configured, so the
// simulated receiver serves the stored port, the window says so, and a race
// started from the toolbar fills in from the simulator's passes.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "app/application.h"
#include "app/live_journal.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "shell/main_window.h"
#include "shell/simulated_receiver.h"
#include "shell/simulation_notice.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

TEST(OutOfTheBox, UnconfiguredReceiverIsSimulatedAndARaceFillsIn) {
    TemporaryCurrentDirectory directory;  // a fresh folder: no settings, no roster
    DiskFileStore files;
    ScriptedUserDialogs dialogs;
    MemorySettingsStore settings;
    // Quick laps, so the race fills in within seconds.
    SimulatedReceiverPort serial(settings, {QStringLiteral(PALOMIND_SIMULATOR),
                                            {QStringLiteral("--lap"), QStringLiteral("0.4:0.05")}});
    SilentSound sound;
    MonotonicTickClock ticks;
    LiveJournal journal("journal", "out-of-the-box", 5);
    ASSERT_TRUE(journal.Start());
    Application app({ticks, sound, serial, settings, dialogs, files, journal});
    frmMain window(app);
    SimulationNotice notice(window, serial);
    window.Form_Load();
    window.show();

    // A first start says the settings and roster files are new, and nothing
    // about the port: the stored COM1 opened the simulator's line.
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"設定ファイルがありません。新規に作成します",
                                        "参加者名簿を新規に作成します。"}));
    EXPECT_TRUE(serial.IsOpen());
    EXPECT_TRUE(serial.Simulating());
    EXPECT_TRUE(window.windowTitle().endsWith(SimulationNotice::TitleMark()));

    app.SetStartWait(1);
    QAction* start = ToolbarButton(window, "レース開始");
    ASSERT_NE(start, nullptr);
    window.tbToolBar_ButtonClick(start);

    const RaceState& state = app.State();
    const RaceWindowModel& model = app.Window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.RaceRunning == kTrue; }, 5000));
    EXPECT_EQ(model.StatusCaption, "計測中");
    // All eight transponders enter the standings and complete laps.
    auto everyoneLapped = [&] {
        for (int id = 1; id <= 8; ++id)
            if (state.LapCount[static_cast<std::size_t>(id)] < 1) return false;
        return true;
    };
    ASSERT_TRUE(QTest::qWaitFor(everyoneLapped, 10000)) << "entrants " << state.EntryCount;
    EXPECT_EQ(state.EntryCount, 8);
    EXPECT_FALSE(model.Standings.TextMatrix(8, 1).empty());
    // Lap 1 of the eighth entrant, in its own lap-history column.
    EXPECT_FALSE(model.LapHistory.TextMatrix(2, 8).empty());
    window.close();
}

}  // namespace
}  // namespace palomind::testing
