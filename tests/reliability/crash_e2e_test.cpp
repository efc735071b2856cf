// The application killed in the middle of a race and started again: the
// real program's pieces over a receiver simulator's pseudo-terminal, the
// first process ended with SIGKILL while timing, the second restoring the
// race and timing it to the end. The result saved must be the replay of the
// whole race's journal, and every pass the simulator sent must be counted.
#include <gtest/gtest.h>

#include <QProcess>
#include <chrono>
#include <thread>

#include "platform/monotonic_tick_clock.h"
#include "tests/support/process_lines.h"
#include "tests/support/startup_files.h"
#include "tests/support/test_folders.h"
#include "tools/receiver_simulator/send_log.h"

namespace palomind::testing {
namespace {

constexpr int kRaceSeconds = 14;
constexpr int kStartWaitSeconds = 2;
constexpr int kKillAfterTimingMs = 5'000;
constexpr int kDownMs = 1'500;

class CrashEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Port 1, the race time and the start wait, and the fixed comment the
        // program writes back at shutdown (the comment is not journaled, so
        // the replay takes it from this file).
        folder_.Write("Palomind.ini", SettingsFileBytes(1, kRaceSeconds, kStartWaitSeconds, 0));
        folder_.Write("idname.ind", RosterFileBytes());
    }
    void TearDown() override {
        for (QProcess* p : {&simulator_, &driver_}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5'000);
            }
        }
    }
    std::string Path(const char* name) const { return folder_.File(name); }
    QString Folder() const { return QString::fromStdString(folder_.Path().string()); }

    void StartSimulator() {
        simulator_.setWorkingDirectory(Folder());
        simulator_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        simulator_.start(
            QStringLiteral(PALOMIND_SIMULATOR),
            {"--transponders", "6", "--lap", "1.3:0.2", "--noise", "0.1", "--seed", "424242",
             "--log", "simulator.log", "--start-from-stdin", "--exit-with-stdin"});
        ASSERT_TRUE(simulator_.waitForStarted(5'000));
        line_ = ReadLine(simulator_, 5'000);
        ASSERT_FALSE(line_.isEmpty());
    }
    // The application's pieces, as the program puts them together.
    QString StartApplication() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PALOMIND_COM1"), line_);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        driver_.setProcessEnvironment(environment);
        driver_.setWorkingDirectory(Folder());
        driver_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver_.start(QStringLiteral(PALOMIND_CRASH_DRIVER), {});
        EXPECT_TRUE(driver_.waitForStarted(5'000));
        return ReadLine(driver_);
    }

    ScratchFolder folder_;
    QProcess simulator_;
    QProcess driver_;
    QString line_;
    MonotonicTickClock ticks_;
};

TEST_F(CrashEndToEndTest,
       KilledWhileTimingRestoredAndFinishedRaceEqualsTheReplayOfItsWholeJournal) {
    StartSimulator();
    ASSERT_EQ(StartApplication(), "ready 0 0");
    const QStringList started = Ask(driver_, "start").split(' ');
    ASSERT_EQ(started.size(), 3) << started.join(' ').toStdString();
    const qint64 raceStartMs = started[1].toLongLong() * 1000;
    const qint64 raceEndMs = started[2].toLongLong() * 1000;
    const QByteArray go =
        QByteArray::number(raceStartMs) + ' ' + QByteArray::number(raceEndMs) + '\n';
    ASSERT_EQ(simulator_.write(go), go.size());
    simulator_.waitForBytesWritten(5'000);
    // The operator types a comment and renames a racing ID and another; the
    // journal holds both well before the kill (typing within a second).
    ASSERT_EQ(Ask(driver_, "comment Rain|Track wet"), "typed");
    ASSERT_EQ(Ask(driver_, "name 3 Sanbon"), "named");
    ASSERT_EQ(Ask(driver_, "name 40 Yonju"), "named");

    // Killed in the middle of timing, the way a crash or a power cut ends it.
    while (ticks_.TimeGetTime() < raceStartMs + kKillAfterTimingMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const QString before = Ask(driver_, "status");
    ASSERT_TRUE(before.startsWith("status 0 -1 ")) << before.toStdString();
    ASSERT_GT(before.section(' ', 3).toInt(), 6) << "passes counted before the kill";
    driver_.kill();
    ASSERT_TRUE(driver_.waitForFinished(5'000));
    ASSERT_EQ(driver_.exitStatus(), QProcess::CrashExit);

    // Down for a moment while the field keeps crossing the line.
    std::this_thread::sleep_for(std::chrono::milliseconds(kDownMs));
    ASSERT_EQ(StartApplication(), "ready 1 0") << "restored without a message";
    EXPECT_EQ(Ask(driver_, "describe 3"), "describe Sanbon|Rain\\r\\nTrack wet");
    EXPECT_EQ(Ask(driver_, "describe 40"), "describe Yonju|Rain\\r\\nTrack wet");

    QString status;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(kRaceSeconds + 20);
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        status = Ask(driver_, "status");
    } while (!status.startsWith("status -1 ") && std::chrono::steady_clock::now() < deadline);
    ASSERT_TRUE(status.startsWith("status -1 ")) << "never all finished: " << status.toStdString();
    const int counted = status.section(' ', 3).toInt();
    ASSERT_EQ(Ask(driver_, "save live.rdt"), "saved 0");
    const QString journal = Ask(driver_, "quit");
    ASSERT_TRUE(journal.startsWith("journal ") && journal.endsWith(".journal") &&
                !journal.endsWith(".running.journal"))
        << journal.toStdString();
    ASSERT_TRUE(driver_.waitForFinished(10'000));
    EXPECT_EQ(driver_.exitCode(), 0);

    simulator_.closeWriteChannel();
    ASSERT_TRUE(simulator_.waitForFinished(10'000));
    std::vector<simulator::SendLogEntry> sent;
    std::string error;
    ASSERT_TRUE(simulator::ParseSendLog(ReadBytes(Path("simulator.log")), sent, error)) << error;
    int passesSent = 0;
    int notDelivered = 0;
    for (const auto& entry : sent) {
        if (entry.outcome != simulator::SendOutcome::Sent)
            ++notDelivered;
        else if (entry.kind == simulator::TransmissionKind::Pass)
            ++passesSent;
    }
    // Nothing the simulator put on the line was lost, before, during or
    // after the kill: every pass was counted once.
    EXPECT_EQ(notDelivered, 0);
    EXPECT_EQ(counted, passesSent);

    // The second run's journal holds the whole race, from before the kill.
    QProcess replay;
    replay.setWorkingDirectory(Folder());
    replay.setProcessChannelMode(QProcess::ForwardedChannels);
    replay.start(QStringLiteral(PALOMIND_PROGRAM),
                 {"--replay", journal.section(' ', 1), "--save", "replayed.rdt"});
    ASSERT_TRUE(replay.waitForFinished(30'000));
    ASSERT_EQ(replay.exitCode(), 0);
    const std::string live = ReadBytes(Path("live.rdt"));
    ASSERT_GT(live.size(), 500u);
    EXPECT_EQ(ReadBytes(Path("replayed.rdt")), live);
}

}  // namespace
}  // namespace palomind::testing
