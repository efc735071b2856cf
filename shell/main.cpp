// Program entry: the desktop application, the headless replay of a journal
// ("palomind --replay JOURNAL ..."), the synthesis of one utterance
// ("palomind --say TEXT --voice ja|en --wav FILE") or a meeting's rankings
// ("palomind --rank IN.json --out OUT.json", --mains, --grid, --final) or a
// meeting folder's command ("palomind --meeting DIR --schedule ..."). The command line is
// checked against the table of options before any window exists, so --help,
// --version and a refused line need no display. The toolkit gets no
// arguments: its own options (-platform, -style, ...) are refused like any
// unknown option, and its environment variables (QT_QPA_PLATFORM,
// QT_STYLE_OVERRIDE, ...) work as usual.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/crash_recovery.h"
#include "app/live_journal.h"
#include "app/meeting_command.h"
#include "app/meeting_session.h"
#include "app/replay_command.h"
#include "app/user_folder.h"
#include "journal/journal_file_names.h"
#include "meeting/meeting_commands.h"
#include "platform/boot_identity.h"
#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_device_enumerator.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_sound_player.h"
#include "platform/qt_translation.h"
#include "platform/qt_user_dialogs.h"
#include "record/race_record_folder.h"
#include "record/race_start_time.h"
#include "shell/display_start.h"
#include "shell/installed_files.h"
#include "shell/main_window.h"
#include "shell/mdi_arrange.h"
#include "shell/meeting_opening.h"
#include "shell/print_commands.h"
#include "shell/program_icon.h"
#include "shell/settings_written_on_change.h"
#include "shell/simulated_receiver.h"
#include "shell/simulation_notice.h"
#include "shell/spectator_publishing.h"
#include "shell/spoken_read_out.h"
#include "voice/say_command.h"
#include "web/serve_until_interrupted.h"
#include "web/system_host_resolver.h"
#include "web/web_address.h"

namespace palomind {
namespace {

// Completed journals kept in the journal folder; unfinished ones are always kept.
constexpr std::size_t kCompleteJournalsKept = 30;
constexpr const char* kRaceRecordsFolder = "races";

// The dialogs belong on the main window, which needs the application, which
// needs the dialogs: until the window exists they open without a parent.
class MainWindowDialogs final : public UserDialogs {
  public:
    void AttachTo(QWidget* window) { attached_.emplace(window); }

    void ShowMessage(std::string_view text) override { Target().ShowMessage(text); }
    void ShowInformation(std::string_view text) override { Target().ShowInformation(text); }
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override {
        return Target().InputBox(prompt, title, defaultText);
    }
    bool AskYesNo(std::string_view text) override { return Target().AskYesNo(text); }
    std::string OpenFileName(std::string_view title, std::string_view filter) override {
        return Target().OpenFileName(title, filter);
    }
    std::string SaveFileName(std::string_view title, std::string_view filter,
                             std::string_view offeredName) override {
        return Target().SaveFileName(title, filter, offeredName);
    }
    std::string FolderName(std::string_view title) override { return Target().FolderName(title); }

  private:
    UserDialogs& Target() {
        return attached_ ? static_cast<UserDialogs&>(*attached_) : unattached_;
    }

    QtUserDialogs unattached_{nullptr};
    std::optional<QtUserDialogs> attached_;
};

// One journal per run, named by its start time and process.
std::string ThisRunsJournalName() {
    return JournalRunName(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString(),
        static_cast<long>(QCoreApplication::applicationPid()));
}

// The "--web" text as the address to serve at, its host name resolved; the
// reason in one line on `err` when it is none.
std::optional<WebAddress> WebAddressOf(std::string_view text, std::ostream& err) {
    const std::optional<WebAddress> parsed = ParseWebAddress(text);
    if (!parsed) {
        err << "palomind: --web needs [ADDRESS:]PORT, not \"" << text << "\"\n";
        return std::nullopt;
    }
    std::string error;
    std::optional<WebAddress> resolved = ResolveWebAddress(*parsed, SystemResolveHost, error);
    if (!resolved) err << "palomind: --web: " << error << '\n';
    return resolved;
}

// The toolkit is given the program's name only (see the top of this file).
struct ToolkitArguments {
    explicit ToolkitArguments(char* program) : argv{program, nullptr} {}
    int argc = 1;
    char* argv[2];
};

int RunReplay(char* program, const CommandLine& commandLine, const std::vector<std::string>& args) {
    if (!commandLine.Has("--print") && !commandLine.Has("--web")) {
        return RunReplayCommand(args, std::cerr);
    }
    // The report is drawn with the toolkit's printer, and the spectators'
    // page served by its web server: both need an application object but no
    // screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ToolkitArguments toolkit(program);
    QGuiApplication application(toolkit.argc, toolkit.argv);
    // Resolved once, before the replay: served at what was checked.
    std::optional<WebAddress> web;
    const RaceServer server{[&web](std::string_view address, std::ostream& err) {
                                web = WebAddressOf(address, err);
                                return web.has_value();
                            },
                            [&web](const RaceWindowModel& window, const ExactResult& result,
                                   std::string_view, std::ostream& err) {
                                return ServeUntilInterrupted(window, result, *web, std::cout, err);
                            }};
    return RunReplayCommand(args, std::cerr, WriteReportPdf, server);
}

// folderProblem: why the working folder asked for could not be used, or empty.
// simulate: --simulate, the receiver simulated for this run.
// webForThisRun: --web, the spectators' page published for this run only.
// fileToOpen: FILE, the result file or race record to open once started.
int RunDesktop(char* program, const std::string& folderProblem, bool simulate,
               const std::optional<WebAddress>& webForThisRun,
               const std::optional<std::string>& fileToOpen) {
    if (!DisplayNamed()) {
        std::cerr << NoDisplayText() << '\n';
        return 1;
    }
    ToolkitArguments toolkit(program);
    std::optional<DisplayStartGuard> displayStart(std::in_place);
    QApplication application(toolkit.argc, toolkit.argv);
    displayStart.reset();
    application.setWindowIcon(ProgramIcon());
    application.setDesktopFileName(QStringLiteral(PALOMIND_APP_ID));
    InstallJapaneseTranslation(application);
    if (!folderProblem.empty()) {
        QtUserDialogs(nullptr).ShowMessage("作業フォルダを使えません。\r\n" + folderProblem);
        return 1;
    }
    const InstalledFiles installed = InstalledFilesFor(QCoreApplication::applicationDirPath());

    DiskFileStore files(kKeepFolder);
    files.RestoreInterruptedWrites();
    QtSettingsStore settings;
    // The receiver is simulated only when the operator asks for it.
    SimulatedReceiverPort serial(settings, DefaultSimulatorCommand(installed.simulatorFolders),
                                 simulate);
    QtSerialDeviceEnumerator serialDevices;
    QtSoundPlayer sound({}, installed.dataFolder);
    MonotonicTickClock ticks;
    MainWindowDialogs dialogs;
    LiveJournal journal("journal", ThisRunsJournalName(), kCompleteJournalsKept,
                        LiveJournal::SyncFileToDisk, [](const std::filesystem::path& settled) {
                            return EveryRaceHasItsRecord(settled, kRaceRecordsFolder);
                        });
    journal.Start();  // a journal that cannot be written is reported below

    Application app({ticks, sound, serial, settings, dialogs, files, journal, ReadBootIdentity()});
    // Each race in a record of its own, synced with the journal.
    RaceRecordFolder raceRecords(kRaceRecordsFolder, [&journal](int fd) { journal.SyncAlso(fd); });
    RaceRecorder recorder(raceRecords, RaceRecorder::WhenTaken::NextNumber,
                          RunStartFromJournalName(journal.Path().filename().string()));
    app.KeepRaceRecords(&recorder);
    app.KeepRaceRecordsIn(&raceRecords);
    // The meeting open: its races go into its races/ while it is.
    MeetingSession session(app, files, kRaceRecordsFolder);
    frmMain window(app);
    SettingsWrittenOnChange settingsWritten(app, window);
    SpokenReadOut voice(app, window, ticks);
    app.Port().AttachSimulation(serial);
    window.Ports().AttachSetup(serialDevices);
    SimulationNotice simulationNotice(window, serial);
    dialogs.AttachTo(&window);
    sound.SetNoAudioOutputHandler(
        [&app] { app.ReportPlatformProblem(PlatformProblem::SoundUnavailable, {}); });
    if (!journal.Problem().empty()) {
        app.ReportPlatformProblem(PlatformProblem::JournalFailed, journal.Problem());
    }

    MeetingOpening meetings(
        session, dialogs, settings, [] { return std::time(nullptr); }, &window);
    window.AttachMeetings(meetings);
    // Before the restore: a heat's race restored goes on in its meeting.
    meetings.ReopenAtStart();
    window.OfferCrashedRun(FindCrashedRun("journal", journal.Path(), files));
    window.Form_Load();
    window.Spectators().StartAtLaunch(webForThisRun);
    voice.Start();
    window.show();
    QTimer::singleShot(0, &window, [&window, &fileToOpen] {
        ShowTopLeftCorner(*window.MdiArea());
        // Once the window shows: a message about the file belongs on it.
        if (fileToOpen) window.OpenFromCommandLine(*fileToOpen);
    });
    const int status = application.exec();
    session.Finish();
    recorder.Finish();
    journal.FinishCleanly();
    return status;
}

}  // namespace
}  // namespace palomind

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const palomind::CommandLine commandLine = palomind::ParseCommandLine(args);
    if (const std::optional<int> status =
            palomind::AnswerWithoutWindow(commandLine, std::cout, std::cerr)) {
        return *status;
    }
    // From the folder the program was started in, before --user-folder moves.
    std::optional<std::string> fileToOpen;
    if (const std::optional<std::string> file = commandLine.Value(palomind::kFileArgument)) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(*file, error);
        fileToOpen = error ? *file : absolute.string();
    }
    std::string folderProblem;
    if (commandLine.Has("--user-folder")) {
        folderProblem = palomind::EnterUserFolder(QDir::homePath().toStdU16String());
        if (!folderProblem.empty()) std::cerr << "palomind: " << folderProblem << '\n';
    }
    if (commandLine.run == "--say") {
        palomind::EspeakSpeechEngine engine;
        palomind::DiskFileStore files;
        return palomind::RunSayCommand(commandLine.ArgumentsOf("--say"), engine, files, std::cerr);
    }
    if (commandLine.run == "--meeting") {
        if (!folderProblem.empty()) return 1;
        palomind::DiskFileStore files;
        palomind::MeetingCommandWorld world{files, palomind::LocalDate(std::time(nullptr)),
                                            palomind::SystemRandomSeed};
        return palomind::RunMeetingFolderCommand(commandLine, world, std::cerr);
    }
    if (palomind::IsMeetingCommand(commandLine.run)) {
        if (!folderProblem.empty()) return 1;
        palomind::DiskFileStore files;
        return palomind::RunMeetingCommand(commandLine.run, *commandLine.Value(commandLine.run),
                                           commandLine.Value("--out"), files, std::cerr);
    }
    char fallbackName[] = "palomind";
    char* program = argc > 0 ? argv[0] : fallbackName;
    if (commandLine.run == "--replay") {
        return folderProblem.empty() ? palomind::RunReplay(program, commandLine, args) : 1;
    }
    std::optional<palomind::WebAddress> web;
    if (const std::optional<std::string> value = commandLine.Value("--web")) {
        // Before the window exists: the resolver may wait for the network.
        web = palomind::WebAddressOf(*value, std::cerr);
        if (!web) return 2;
    }
    return palomind::RunDesktop(program, folderProblem, commandLine.Has("--simulate"), web,
                                fileToOpen);
}
