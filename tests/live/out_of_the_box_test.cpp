// The application as a newcomer starts it (run.sh asks for the simulated
// receiver): the simulator serves the stored port, the window says so, and a
// race started from the toolbar fills in from the simulator's passes. And the
// program as an operator starts it: no simulator unless asked.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "app/live_journal.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "shell/main_window.h"
#include "shell/simulated_receiver.h"
#include "shell/simulation_notice.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/shell_harness.h"
#include "tests/support/startup_files.h"

namespace palomind::testing {
namespace {

TEST(OutOfTheBox, UnconfiguredReceiverIsSimulatedAndARaceFillsIn) {
    TemporaryCurrentDirectory directory;  // a fresh folder: no settings, no roster
    DiskFileStore files;
    ScriptedUserDialogs dialogs;
    MemorySettingsStore settings;
    // Quick laps, so the race fills in within seconds; simulated for this
    // run, as run.sh's --simulate asks.
    SimulatedReceiverPort serial(
        settings,
        {QStringLiteral(PALOMIND_SIMULATOR), {QStringLiteral("--lap"), QStringLiteral("0.4:0.05")}},
        true);
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

// The receiver simulators the process `parent` has started and that still run.
int SimulatorsStartedBy(qint64 parent) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (comm) state ppid ...": the name may hold spaces, the ')' ends it.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos || line.find("(receiver_simul") == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        qint64 ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != "Z") ++count;
    }
    return count;
}

// The program itself, started in a fresh folder with its start-up files and
// a settings home of its own.
class ProgramRun {
  public:
    explicit ProgramRun(const QStringList& arguments, const std::string& com1 = {}) {
        WriteFile("Palomind.ini", SettingsFileBytes(1, 120, 10, 0));
        WriteFile("idname.ind", RosterFileBytes());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir::currentPath());
        environment.insert(QStringLiteral("PALOMIND_COM1"), QString::fromStdString(com1));
        program_.setProcessEnvironment(environment);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QStringLiteral(PALOMIND_PROGRAM), arguments);
    }
    ~ProgramRun() {
        program_.kill();
        program_.waitForFinished(5000);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    qint64 Pid() const { return program_.processId(); }
    // True once the journal notes that COM1 opened.
    static bool Com1Opened() {
        for (const QString& name : QDir(QStringLiteral("journal")).entryList(QDir::Files)) {
            QFile journal(QStringLiteral("journal/") + name);
            if (journal.open(QIODevice::ReadOnly) &&
                journal.readAll().contains("serial port COM1 opened")) {
                return true;
            }
        }
        return false;
    }

  private:
    static void WriteFile(const char* name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    QProcess program_;
};

TEST(OutOfTheBox, SimulateOptionStartsTheSimulator) {
    TemporaryCurrentDirectory directory;
    ProgramRun run({QStringLiteral("--simulate")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return SimulatorsStartedBy(run.Pid()) == 1; }, 20000));
}

TEST(OutOfTheBox, WithoutSimulateTheAssignedDeviceOpensAndNoSimulatorStarts) {
    TemporaryCurrentDirectory directory;
    PseudoTerminal receiver;
    ProgramRun run({}, receiver.Path());
    ASSERT_TRUE(QTest::qWaitFor(&ProgramRun::Com1Opened, 20000));
    QTest::qWait(300);
    EXPECT_EQ(SimulatorsStartedBy(run.Pid()), 0);
}

}  // namespace
}  // namespace palomind::testing
