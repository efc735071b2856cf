// The desktop application put together as the program does (real serial
// adapter, real tick counter, live journal in "journal", crash recovery at
// start-up), but driven by commands on standard input instead of a person,
// so a test can start a race, kill the process in the middle of it and start
// it again. Every question is answered Yes. Each race is kept in a record of
// its own in "races", and a meeting session runs beside the application as
// the program runs it: the meeting named on the command line
// ("palomind_crash_driver [MEETING_FOLDER]", as the program reopens the one
// its per-user settings name) is opened before a crashed race is restored,
// and the restored race of a heat is filed under it.
//
// Commands, one per line; each reply is one line on standard output:
//   start        -> "started <RaceStart> <RaceEnd>" (tick-seconds)
//   status       -> "status <AllFinished> <RaceRunning> <passes counted>"
//   save <path>  -> "saved <messages shown so far>"
//   comment <text> -> types the text into the comment box ('|' breaks a line), "typed"
//   name <id> <text> -> renames the ID as the roster dialog does, "named"
//   describe <id> -> "describe <name of the ID>|<the comment, escaped as the journal escapes>"
//   racetime <s> / startwait <s> -> answers the menu item's input box, "settings ..."
//   readout <mode> -> chooses the read-out menu's item, "settings ..."
//   settings     -> "settings <port> <race time> <start wait> <read-out mode>"
//   move <x> <y> -> moves the main window, "moved"
//   stop         -> presses "ストップ", "stopped"
//   receiver <device> -> the receiver is on this device from now, "receiver <opened 1|0>"
//   meeting <folder> -> opens the meeting, "meeting ok" or "meeting <message>"
//   next         -> "次のヒートを準備", "prepared <heat id>" or the message
//   check        -> the transponder check of the heat loaded, "check <seen> <strangers>"
//                   (IDs joined by ',', '-' for none), or "check none" when none runs
//   quit         -> a clean shutdown, then "journal <path of the finished journal>"
// At start: "ready <restored 0|1> <messages shown>" once the window is up.
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QTextEdit>
#include <cstdio>
#include <set>
#include <string>

#include "app/meeting_session.h"
#include "journal/journal.h"
#include "journal/journal_file_names.h"
#include "platform/boot_identity.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings_store.h"
#include "record/race_record_folder.h"
#include "record/race_recorder.h"
#include "record/race_start_time.h"
#include "shell/race_window_view.h"
#include "shell/settings_written_on_change.h"
#include "tests/support/race_counts.h"
#include "tests/support/shell_harness.h"

namespace {

void Reply(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Joined(const std::set<int>& ids) {
    std::string text;
    for (const int id : ids) text += (text.empty() ? "" : ",") + std::to_string(id);
    return text.empty() ? "-" : text;
}

std::string Settings(const palomind::RaceState& s) {
    return "settings " + std::to_string(s.PortNumber) + " " + std::to_string(s.RaceTime) + " " +
           std::to_string(s.StartWait) + " " + std::to_string(s.TtsMode);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace palomind;
    using namespace palomind::testing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    DiskFileStore files;
    QtSettingsStore settings(QStringLiteral("user-settings.ini"));
    QtSerialPort serial(settings);
    SilentSound sound;
    MonotonicTickClock ticks;
    PrintedUserDialogs dialogs(true);
    const std::string runName = JournalRunName(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString(),
        static_cast<long>(QCoreApplication::applicationPid()));
    LiveJournal journal("journal", runName, 30);
    if (!journal.Start()) std::fprintf(stderr, "journal: %s\n", journal.Problem().c_str());

    Application app({ticks, sound, serial, settings, dialogs, files, journal, ReadBootIdentity()});
    RaceRecordFolder raceRecords("races", [&journal](int fd) { journal.SyncAlso(fd); });
    RaceRecorder recorder(raceRecords, RaceRecorder::WhenTaken::NextNumber,
                          RunStartFromJournalName(journal.Path().filename().string()));
    app.KeepRaceRecords(&recorder);
    app.KeepRaceRecordsIn(&raceRecords);
    MeetingSession session(app, files, "races");
    frmMain window(app);
    SettingsWrittenOnChange settingsWritten(app, window);
    if (argc > 1) {
        const std::string problem = session.Open(argv[1]);
        if (!problem.empty()) std::fprintf(stderr, "meeting: %s\n", problem.c_str());
    }
    std::optional<CrashedRun> crashed = FindCrashedRun("journal", journal.Path(), files);
    const std::string crashedHeat = crashed ? crashed->heat : std::string();
    const bool offered = crashed && crashed->problem.empty();
    window.OfferCrashedRun(std::move(crashed));
    window.Form_Load();
    if (offered && !crashedHeat.empty()) session.FileRestoredRace(crashedHeat);
    window.show();
    Reply("ready " + std::to_string(dialogs.questions) + " " + std::to_string(dialogs.messages));

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;
             pending.erase(0, end + 1)) {
            const std::string command = pending.substr(0, end);
            const RaceState& s = app.State();
            if (command == "start") {
                window.tbToolBar_ButtonClick(ToolbarButton(window, "レース開始"));
                Reply("started " + std::to_string(s.RaceStart) + " " + std::to_string(s.RaceEnd));
            } else if (command == "status") {
                Reply("status " + std::to_string(s.AllFinished) + " " +
                      std::to_string(s.RaceRunning) + " " + std::to_string(CountedPasses(s)));
            } else if (command.starts_with("save ")) {
                dialogs.savePath = command.substr(5);
                window.mnuFileSave_Click();
                Reply("saved " + std::to_string(dialogs.messages));
            } else if (command.starts_with("comment ")) {
                QString text = QString::fromStdString(command.substr(8));
                text.replace(QLatin1Char('|'), QLatin1Char('\n'));
                window.RaceWindow()->RichTextBox1()->setPlainText(text);
                Reply("typed");
            } else if (command.starts_with("name ")) {
                const std::size_t space = command.find(' ', 5);
                app.SetName(std::stoi(command.substr(5, space - 5)), command.substr(space + 1));
                Reply("named");
            } else if (command.starts_with("describe ")) {
                const int id = std::stoi(command.substr(9));
                Reply("describe " + app.Roster()[static_cast<std::size_t>(id)] + "|" +
                      EscapeJournalText(app.Document().window.Comment));
            } else if (command.starts_with("racetime ") || command.starts_with("startwait ")) {
                const std::size_t space = command.find(' ');
                dialogs.inputAnswer = command.substr(space + 1);
                if (command.starts_with("racetime "))
                    window.mnuRaceTime_Click();
                else
                    window.mnuStartWait_Click();
                dialogs.inputAnswer.reset();
                Reply(Settings(s));
            } else if (command.starts_with("readout ")) {
                window.SelectReadOut(std::stoi(command.substr(8)));
                Reply(Settings(s));
            } else if (command == "settings") {
                Reply(Settings(s));
            } else if (command.starts_with("move ")) {
                const std::size_t space = command.find(' ', 5);
                window.move(std::stoi(command.substr(5, space - 5)),
                            std::stoi(command.substr(space + 1)));
                Reply("moved");
            } else if (command == "stop") {
                window.tbToolBar_ButtonClick(ToolbarButton(window, "ストップ"));
                Reply("stopped");
            } else if (command.starts_with("receiver ")) {
                Reply("receiver " + std::to_string(serial.OpenDevice(command.substr(9))));
            } else if (command.starts_with("meeting ")) {
                const std::string problem = session.Open(command.substr(8));
                Reply("meeting " + (problem.empty() ? std::string("ok") : problem));
            } else if (command == "next") {
                const std::string problem = session.PrepareNextHeat();
                Reply(problem.empty() ? "prepared " + session.LoadedHeat() : problem);
            } else if (command == "check") {
                const TransponderCheck* check = session.Check();
                Reply(check == nullptr ? std::string("check none")
                                       : "check " + Joined(check->SeenInHeat()) + " " +
                                             Joined(check->Strangers()));
            } else if (command == "quit") {
                window.close();
                QCoreApplication::quit();
            }
        }
    });
    const int status = application.exec();
    session.Finish();
    recorder.Finish();
    journal.FinishCleanly();
    Reply("journal " + journal.Path().string());
    return status;
}
