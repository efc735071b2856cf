// Program entry: the desktop application, or the headless replay of a journal
// ("palomind --replay JOURNAL ...").
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QMdiArea>
#include <QTimer>
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/crash_recovery.h"
#include "app/live_journal.h"
#include "app/replay_command.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_sound_player.h"
#include "platform/qt_translation.h"
#include "platform/qt_user_dialogs.h"
#include "shell/main_window.h"
#include "shell/mdi_arrange.h"
#include "shell/print_commands.h"
#include "shell/simulated_receiver.h"
#include "shell/simulation_notice.h"

namespace palomind {
namespace {

// Completed journals kept in the journal folder; unfinished ones are always kept.
constexpr std::size_t kCompleteJournalsKept = 30;

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
    std::string SaveFileName(std::string_view title, std::string_view filter) override {
        return Target().SaveFileName(title, filter);
    }

  private:
    UserDialogs& Target() {
        return attached_ ? static_cast<UserDialogs&>(*attached_) : unattached_;
    }

    QtUserDialogs unattached_{nullptr};
    std::optional<QtUserDialogs> attached_;
};

// One journal per run, named by its start time and process, so runs never
// share a file and the names sort by age.
std::string JournalRunName() {
    return "palomind-" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString() +
           "-" + std::to_string(QCoreApplication::applicationPid());
}

int RunReplay(int argc, char** argv, const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--print") == args.end()) {
        return RunReplayCommand(args, std::cerr);
    }
    // The report is drawn with the toolkit's printer, which needs an
    // application object but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    return RunReplayCommand(args, std::cerr, WriteReportPdf);
}

int RunDesktop(int argc, char** argv) {
    QApplication application(argc, argv);
    InstallJapaneseTranslation(application);

    DiskFileStore files;
    QtSettingsStore settings;
    // Unless a receiver is configured for a port, the port reaches a
    // simulated receiver, so a race can be run out of the box.
    SimulatedReceiverPort serial(settings, DefaultSimulatorCommand());
    QtSoundPlayer sound;
    MonotonicTickClock ticks;
    MainWindowDialogs dialogs;
    LiveJournal journal("journal", JournalRunName(), kCompleteJournalsKept);
    journal.Start();  // a journal that cannot be written is reported below

    Application app({ticks, sound, serial, settings, dialogs, files, journal});
    frmMain window(app);
    SimulationNotice simulationNotice(window, serial);
    dialogs.AttachTo(&window);
    sound.SetNoAudioOutputHandler(
        [&app] { app.ReportPlatformProblem(PlatformProblem::SoundUnavailable, {}); });
    if (!journal.Problem().empty()) {
        app.ReportPlatformProblem(PlatformProblem::JournalFailed, journal.Problem());
    }

    window.OfferCrashedRun(FindCrashedRun("journal", journal.Path(), files));
    window.Form_Load();
    window.show();
    QTimer::singleShot(0, &window, [&window] { ShowTopLeftCorner(*window.MdiArea()); });
    const int status = application.exec();
    journal.FinishCleanly();
    return status;
}

}  // namespace
}  // namespace palomind

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (palomind::IsReplayCommandLine(args)) return palomind::RunReplay(argc, argv, args);
    return palomind::RunDesktop(argc, argv);
}
