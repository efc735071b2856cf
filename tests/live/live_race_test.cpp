// The real application on a real byte stream: its port is a pseudo-terminal
// fed by the receiver simulator, and the race it times live must come out of
// a replay of its own journal byte for byte.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <optional>

#include "documents/exact_times.h"
#include "engine/exact_result.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings_store.h"
#include "shell/race_window_view.h"
#include "shell/spectator_publishing.h"
#include "tests/live/headless_chromium.h"
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

// Replays the journal as it stands now with the program itself and expects
// the result to equal the live save `liveFile`.
void ExpectReplayEqualsLiveSave(const std::filesystem::path& journal, const std::string& liveFile) {
    const std::string snapshot = liveFile + ".journal";
    std::filesystem::copy_file(journal, snapshot,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string replayed = liveFile + ".replayed";
    QProcess replay;
    replay.setProcessChannelMode(QProcess::ForwardedChannels);
    replay.start(QStringLiteral(PALOMIND_PROGRAM), {"--replay", QString::fromStdString(snapshot),
                                                    "--save", QString::fromStdString(replayed)});
    ASSERT_TRUE(replay.waitForFinished(30000));
    ASSERT_EQ(replay.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(replay.exitCode(), 0);
    const std::string live = ReadBytes(liveFile);
    ASSERT_FALSE(live.empty());
    EXPECT_EQ(ReadBytes(replayed), live) << liveFile;
}

// The program as the entry composes it, its port on a receiver simulator of
// its own, in a temporary folder holding its start-up files.
class LiveProgramTest : public ::testing::Test {
  protected:
    void StartProgram(const QStringList& simulatorArguments, const std::string& journalName) {
        WriteBytes("Palomind.ini", SettingsFileBytes(1, kRaceSeconds, kStartWaitSeconds, 0));
        WriteBytes("idname.ind", RosterFileBytes());
        const QString line = StartSimulator(
            simulator, simulatorArguments + QStringList{"--start-from-stdin", "--exit-with-stdin"});
        ASSERT_FALSE(line.isEmpty());
        port.emplace("PALOMIND_COM1", line.toStdString());
        settings.emplace(QString::fromStdString(directory.File("user-settings.ini")));
        serial.emplace(*settings);
        journal.emplace("journal", journalName, 5);
        ASSERT_TRUE(journal->Start()) << journal->Problem();
        app.emplace(
            ApplicationServices{ticks, sound, *serial, *settings, dialogs, files, *journal});
        window.emplace(*app);
        window->Form_Load();
        window->show();
    }
    // Presses "レース開始". Timing opens half a second before RaceStart
    // (tick-seconds round); the field starts lapping half a second after it,
    // so that even a busy machine has opened timing by then, and each
    // transponder's first pass after RaceEnd is its last, as the race is
    // finished.
    void StartRace() {
        QAction* start = ToolbarButton(*window, "レース開始");
        ASSERT_NE(start, nullptr);
        window->tbToolBar_ButtonClick(start);
        const RaceState& state = app->State();
        const QByteArray go = QByteArray::number(state.RaceStart * 1000 + 500) + ' ' +
                              QByteArray::number(state.RaceEnd * 1000) + '\n';
        ASSERT_EQ(simulator.write(go), go.size());
        ASSERT_TRUE(simulator.waitForBytesWritten(5000));
    }

    const TemporaryCurrentDirectory directory;
    DiskFileStore files;
    ScriptedUserDialogs dialogs;
    QProcess simulator;
    std::optional<ScopedEnvironmentVariable> port;
    std::optional<QtSettingsStore> settings;
    std::optional<QtSerialPort> serial;
    SilentSound sound;
    MonotonicTickClock ticks;
    std::optional<LiveJournal> journal;
    std::optional<Application> app;
    std::optional<frmMain> window;
};

// The same program, in the suite these races have always been reported under.
using LiveRace = LiveProgramTest;

TEST_F(LiveRace, SimulatedRaceThroughTheFinishReplaysToTheSameResultFile) {
    ASSERT_NO_FATAL_FAILURE(
        StartProgram({"--transponders", QString::number(kTransponders), "--lap", "1.5:0.15",
                      "--noise", "0.2", "--seed", "20240501", "--log", "simulator.log"},
                     "live-race"));
    ASSERT_TRUE(serial->IsOpen());
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

    ASSERT_NO_FATAL_FAILURE(StartRace());
    const RaceState& state = app->State();
    ASSERT_EQ(state.RaceStarted, kTrue);

    const int deadlineMs = (kStartWaitSeconds + kRaceSeconds + 15) * 1000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.AllFinished == kTrue; }, deadlineMs))
        << "status " << app->Window().StatusCaption << ", running " << state.RunningCount;
    EXPECT_EQ(state.EntryCount, kTransponders);

    dialogs.fileAnswers.push_back("live.rdt");
    window->mnuFileSave_Click();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

    simulator.closeWriteChannel();
    ASSERT_TRUE(simulator.waitForFinished(5000));
    const SimulatorRecord sent = ReadSimulatorLog("simulator.log");
    EXPECT_EQ(sent.notSent, 0);
    EXPECT_GT(sent.noiseSent, 0);
    EXPECT_GE(sent.validFramesSent, kTransponders * 8);
    // Zero loss: every valid frame sent during timing was counted once.
    EXPECT_EQ(CountedPasses(state), sent.validFramesSent);
    window->close();
    window.reset();
    app.reset();
    journal->FinishCleanly();

    ExpectReplayEqualsLiveSave(journal->Path(), "live.rdt");
}

// What the operator does besides timing: a comment typed and names changed
// during the race (one of an ID already racing), a saved file opened after
// it, a second race started. The journal replays to each live save.
TEST_F(LiveRace, CommentNamesAndAnOpenedFileReplayToTheSameResultFiles) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        {"--transponders", "6", "--lap", "1.5:0.15", "--seed", "20261208"}, "operator"));
    auto save = [&](const char* name) {
        dialogs.fileAnswers.push_back(name);
        window->mnuFileSave_Click();
        ExpectReplayEqualsLiveSave(journal->Path(), name);
    };

    // The roster dialog stays open beside the race window.
    window->mnuEditName_Click();
    QDialog* roster = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("dlgIdName")) roster = qobject_cast<QDialog*>(w);
    ASSERT_NE(roster, nullptr);
    QLineEdit* nameEditor = roster->findChild<QLineEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(nameEditor, nullptr);

    ASSERT_NO_FATAL_FAILURE(StartRace());
    const RaceState& state = app->State();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.LapCount[3] >= 2; }, 15000));

    QTextEdit* comment = window->RaceWindow()->RichTextBox1();
    comment->selectAll();
    QTest::keyClicks(comment, "Rain");
    QTest::keyClick(comment, Qt::Key_Return);
    QTest::keyClicks(comment, "Track wet");
    QTest::keyClick(nameEditor, Qt::Key_Down);
    QTest::keyClick(nameEditor, Qt::Key_Down);
    QTest::keyClicks(nameEditor, "Sanbon");  // ID 3, racing
    for (const char* name : {"Yon", "Go"}) {
        QTest::keyClick(nameEditor, Qt::Key_Down);
        QTest::keyClicks(nameEditor, name);
    }
    ASSERT_EQ(app->Roster()[3], "Sanbon");
    const int lapsOfThree = state.LapCount[3];
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.LapCount[3] > lapsOfThree; }, 5000));
    save("racing.rdt");
    EXPECT_NE(ReadBytes("racing.rdt").find("Rain\r\nTrack wet"), std::string::npos);

    ASSERT_TRUE(QTest::qWaitFor([&] { return state.AllFinished == kTrue; },
                                (kStartWaitSeconds + kRaceSeconds + 15) * 1000));
    save("finished.rdt");
    EXPECT_NE(ReadBytes("finished.rdt").find("Sanbon"), std::string::npos);
    roster->close();

    dialogs.fileAnswers.push_back("racing.rdt");
    window->mnuFileOpen_Click();
    save("opened.rdt");
    EXPECT_EQ(ReadBytes("opened.rdt"), ReadBytes("racing.rdt"));

    window->tbToolBar_ButtonClick(ToolbarButton(*window, "レース開始"));
    QTest::qWait(1500);
    save("second.rdt");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

    simulator.closeWriteChannel();
    ASSERT_TRUE(simulator.waitForFinished(5000));
    window->close();
}

// The standings as the window showed them after each change, in the texts
// the page shows first in each row: the page, read at some moment, must
// show one of them.
class StandingsHistory final : public RaceEventListener {
  public:
    // Place, ID, name and laps (as a number) of every place that holds an
    // entrant.
    using Standings = std::vector<std::string>;
    static constexpr int kColumnsCompared = 4;
    explicit StandingsHistory(const RaceWindowModel& window) : window_(window) { Record(); }
    void OnRaceEvent(const RaceEvent& event) override {
        if (event.kind == RaceEventKind::StandingsChanged) Record();
    }
    std::size_t Size() const { return versions_.size(); }
    bool ShownSince(std::size_t first, const Standings& shown) const {
        for (std::size_t i = first == 0 ? 0 : first - 1; i < versions_.size(); ++i)
            if (versions_[i] == shown) return true;
        return false;
    }
    const Standings& Latest() const { return versions_.back(); }

  private:
    void Record() {
        Standings rows;
        const GridModel& standings = window_.Standings;
        for (int row = 1; row <= 20; ++row) {
            if (IdOfCell(standings.TextMatrix(row, kStandingsIdCol)) == 0) continue;
            for (int col = 0; col < kColumnsCompared - 1; ++col)
                rows.push_back(standings.TextMatrix(row, col));
            rows.push_back(std::to_string(std::stoi(standings.TextMatrix(row, kStandingsLapsCol))));
        }
        versions_.push_back(std::move(rows));
    }
    const RaceWindowModel& window_;
    std::vector<Standings> versions_;
};

// The first cell texts of each standings row the page's DOM shows.
StandingsHistory::Standings StandingsInDom(const QString& dom) {
    StandingsHistory::Standings cells;
    const QRegularExpression body(QStringLiteral("<tbody id=\"standings\">(.*?)</tbody>"),
                                  QRegularExpression::DotMatchesEverythingOption);
    const QString rows = body.match(dom).captured(1);
    const QRegularExpression rowPattern(QStringLiteral("<tr[^>]*>(.*?)</tr>"));
    const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
    for (auto row = rowPattern.globalMatch(rows); row.hasNext();) {
        auto it = cell.globalMatch(row.next().captured(1));
        for (int col = 0; col < StandingsHistory::kColumnsCompared && it.hasNext(); ++col) {
            QString text = it.next().captured(1);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            cells.push_back(text.toStdString());
        }
    }
    return cells;
}

// The spectators' page in a real browser during a simulated race: it shows
// the places of the window's standings that hold an entrant, and a phone-sized screenshot of it is
// taken (PALOMIND_SPECTATOR_SCREENSHOT names where it goes).
TEST_F(LiveProgramTest, SpectatorsPageInABrowserShowsTheWindowsStandings) {
    const QString chromium = ChromiumProgram();
    if (chromium.isEmpty()) GTEST_SKIP() << "Debian's chromium is not installed";
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        {"--transponders", "8", "--lap", "1.5:0.15", "--seed", "20240601"}, "spectators"));
    app->SetName(3, "佐藤 <3> & Co");
    window->Spectators().StartAtLaunch(WebAddress{"127.0.0.1", 0});
    ASSERT_TRUE(window->Spectators().IsPublishing());
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(window->Spectators().Port());
    StandingsHistory history(app->Window());
    app->Subscribe(&history);

    ASSERT_NO_FATAL_FAILURE(StartRace());
    const RaceState& state = app->State();
    QTest::qWait((kStartWaitSeconds + kRaceSeconds / 2) * 1000);

    const std::size_t before = history.Size();
    const QString dom = QString::fromUtf8(RunChromium(chromium, {"--dump-dom"}, url));
    const StandingsHistory::Standings shown = StandingsInDom(dom);
    EXPECT_EQ(shown.size(), 8u * StandingsHistory::kColumnsCompared)
        << dom.left(2000).toStdString();
    EXPECT_TRUE(history.ShownSince(before, shown)) << ::testing::PrintToString(shown);
    EXPECT_TRUE(dom.contains(QStringLiteral("計測中")));

    const QString screenshot = qEnvironmentVariable(
        "PALOMIND_SPECTATOR_SCREENSHOT", QString::fromStdString(directory.File("page.png")));
    RunChromium(chromium, {"--screenshot=" + screenshot}, url);
    EXPECT_GT(std::filesystem::file_size(screenshot.toStdString()), 10'000u);

    // Once everyone has finished the window stands still: the page then shows
    // exactly its standings, the name that needs escaping included.
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.AllFinished == kTrue; }, 30000));
    QTest::qWait(1000);
    const QString final = QString::fromUtf8(RunChromium(chromium, {"--dump-dom"}, url));
    EXPECT_EQ(StandingsInDom(final), history.Latest());
    EXPECT_TRUE(final.contains(QStringLiteral("佐藤 &lt;3&gt; &amp; Co")));
    app->Unsubscribe(&history);
    simulator.closeWriteChannel();
    simulator.waitForFinished(5000);
    window->close();
}

}  // namespace
}  // namespace palomind::testing
