// The real application on a real byte stream: its port is a pseudo-terminal
// fed by the receiver simulator, and the race it times live must come out of
// a replay of its own journal byte for byte.
#include <gtest/gtest.h>

#include <QAction>
#include <QProcess>
#include <QTest>

#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings_store.h"
#include "tests/live/simulator_process.h"
#include "tests/support/race_counts.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/shell_harness.h"
#include "tools/receiver_simulator/send_log.h"

namespace palomind::testing {
namespace {

constexpr int kRaceSeconds = 12;
constexpr int kStartWaitSeconds = 2;
constexpr int kTransponders = 10;

struct SimulatorRecord {
    int validFramesSent = 0;
    int noiseSent = 0;
    int notSent = 0;  // lost or cut: nobody was reading
};

SimulatorRecord ReadSimulatorLog(const std::string& path) {
    std::vector<simulator::SendLogEntry> entries;
    std::string error;
    EXPECT_TRUE(simulator::ParseSendLog(ReadBytes(path), entries, error)) << error;
    SimulatorRecord record;
    for (const simulator::SendLogEntry& e : entries) {
        if (e.outcome != simulator::SendOutcome::Sent)
            ++record.notSent;
        else if (e.kind == simulator::TransmissionKind::Pass)
            ++record.validFramesSent;
        else
            ++record.noiseSent;
    }
    return record;
}

TEST(LiveRace, SimulatedRaceThroughTheFinishReplaysToTheSameResultFile) {
    const TemporaryCurrentDirectory directory;
    WriteBytes("Palomind.ini", SettingsFileBytes(1, kRaceSeconds, kStartWaitSeconds, 0));
    WriteBytes("idname.ind", RosterFileBytes());
    DiskFileStore files;
    ScriptedUserDialogs dialogs;

    QProcess simulator;
    const QString line =
        StartSimulator(simulator, {"--transponders", QString::number(kTransponders), "--lap",
                                   "1.5:0.15", "--noise", "0.2", "--seed", "20240501", "--log",
                                   "simulator.log", "--start-from-stdin", "--exit-with-stdin"});
    ASSERT_FALSE(line.isEmpty());
    const ScopedEnvironmentVariable port("PALOMIND_COM1", line.toStdString());

    QtSettingsStore settings(QString::fromStdString(directory.File("user-settings.ini")));
    QtSerialPort serial(settings);
    SilentSound sound;
    MonotonicTickClock ticks;
    LiveJournal journal("journal", "live-race", 5);
    ASSERT_TRUE(journal.Start()) << journal.Problem();
    {
        Application app({ticks, sound, serial, settings, dialogs, files, journal});
        frmMain window(app);
        window.Form_Load();
        window.show();
        ASSERT_TRUE(serial.IsOpen());
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

        QAction* start = ToolbarButton(window, "レース開始");
        ASSERT_NE(start, nullptr);
        window.tbToolBar_ButtonClick(start);
        const RaceState& state = app.State();
        ASSERT_EQ(state.RaceStarted, kTrue);

        // Timing opens half a second before RaceStart (tick-seconds round);
        // the field starts lapping half a second after it, so that even a
        // busy machine has opened timing by then, and each transponder's
        // first pass after RaceEnd is its last, as the race is finished.
        const QByteArray go = QByteArray::number(state.RaceStart * 1000 + 500) + ' ' +
                              QByteArray::number(state.RaceEnd * 1000) + '\n';
        ASSERT_EQ(simulator.write(go), go.size());
        ASSERT_TRUE(simulator.waitForBytesWritten(5000));

        const int deadlineMs = (kStartWaitSeconds + kRaceSeconds + 15) * 1000;
        ASSERT_TRUE(QTest::qWaitFor([&] { return state.AllFinished == kTrue; }, deadlineMs))
            << "status " << app.Window().StatusCaption << ", running " << state.RunningCount;
        EXPECT_EQ(state.EntryCount, kTransponders);

        dialogs.fileAnswers.push_back("live.rdt");
        window.mnuFileSave_Click();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

        simulator.closeWriteChannel();
        ASSERT_TRUE(simulator.waitForFinished(5000));
        const SimulatorRecord sent = ReadSimulatorLog("simulator.log");
        EXPECT_EQ(sent.notSent, 0);
        EXPECT_GT(sent.noiseSent, 0);
        EXPECT_GE(sent.validFramesSent, kTransponders * 8);
        // Zero loss: every valid frame sent during timing was counted once.
        EXPECT_EQ(CountedPasses(state), sent.validFramesSent);
        window.close();
    }
    journal.FinishCleanly();

    QProcess replay;
    replay.setProcessChannelMode(QProcess::ForwardedChannels);
    replay.start(
        QStringLiteral(PALOMIND_PROGRAM),
        {"--replay", QString::fromStdString(journal.Path().string()), "--save", "replayed.rdt"});
    ASSERT_TRUE(replay.waitForFinished(30000));
    ASSERT_EQ(replay.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(replay.exitCode(), 0);

    const std::string live = ReadBytes("live.rdt");
    ASSERT_FALSE(live.empty());
    EXPECT_EQ(ReadBytes("replayed.rdt"), live);
}

}  // namespace
}  // namespace palomind::testing
