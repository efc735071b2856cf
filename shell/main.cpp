// Program entry: the desktop application, the headless replay of a journal
// ("palomind --replay JOURNAL ...") or the synthesis of one utterance
// ("palomind --say TEXT --voice ja|en --wav FILE").
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
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
#include "platform/boot_identity.h"
#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_sound_player.h"
#include "platform/qt_translation.h"
#include "platform/qt_user_dialogs.h"
#include "shell/main_window.h"
#include "shell/print_commands.h"
#include "shell/simulated_receiver.h"
#include "shell/simulation_notice.h"
#include "shell/spoken_read_out.h"
#include "voice/say_command.h"

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

    Application app({ticks, sound, serial, settings, dialogs, files, journal, ReadBootIdentity()});
    frmMain window(app);
    SpokenReadOut voice(app, window, ticks);
    SimulationNotice simulationNotice(window, serial);
    dialogs.AttachTo(&window);
    sound.SetNoAudioOutputHandler(
        [&app] { app.ReportPlatformProblem(PlatformProblem::SoundUnavailable, {}); });
    if (!journal.Problem().empty()) {
        app.ReportPlatformProblem(PlatformProblem::JournalFailed, journal.Problem());
    }

    window.OfferCrashedRun(FindCrashedRun("journal", journal.Path(), files));
    window.Form_Load();
    voice.Start();
    window.show();
    // The race window is wider than the main window's default size: show its
    // top left corner, where the clocks and the standings are, not wherever
    // the area scrolled while it was laid out.
    QTimer::singleShot(0, &window, [&window] {
        QMdiArea& area = *window.MdiArea();
        area.horizontalScrollBar()->setValue(0);
        area.verticalScrollBar()->setValue(0);
        for (QMdiSubWindow* child : area.subWindowList()) child->move(0, 0);
    });
    const int status = application.exec();
    journal.FinishCleanly();
    return status;
}

}  // namespace
}  // namespace palomind

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (palomind::IsSayCommandLine(args)) {
        palomind::EspeakSpeechEngine engine;
        palomind::DiskFileStore files;
        return palomind::RunSayCommand(args, engine, files, std::cerr);
    }
    if (palomind::IsReplayCommandLine(args)) return palomind::RunReplay(argc, argv, args);
    return palomind::RunDesktop(argc, argv);
}
