// The main window's start sequence and shutdown.
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "app/window_placement.h"
#include "documents/settings_file.h"
#include "shell/main_window.h"
#include "shell/race_window_view.h"
#include "shell/roster_dialog.h"
#include "shell/twips.h"

namespace palomind {
namespace {

constexpr int kReadOutModes = 3;

int ToPixels(float twips, int dpi) {
    return TwipsToPixels(static_cast<int>(std::lround(twips)), dpi);
}

float ToTwips(int pixels, int dpi) {
    return static_cast<float>(pixels) * static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi);
}

}  // namespace

void frmMain::Form_Load() {
    RestorePlacement();
    CreateRaceWindow();
    Init_Setting();
    if (!RestoreCrashedRace()) app_.Boot();
}

bool frmMain::RestoreCrashedRace() {
    if (!crashedRun_) return false;
    const CrashedRun run = std::move(*crashedRun_);
    crashedRun_.reset();
    if (!run.problem.empty()) {
        dialogs_.ShowMessage(DamagedJournalText(run));
        return false;
    }
    if (!dialogs_.AskYesNo(kRestoreQuestion)) return false;  // the old journal stays as it is
    const bool goesOn = app_.BootRestoring(run.events, run.journal.string());
    // The restored race brings its own read-out mode.
    const std::int16_t mode = app_.State().TtsMode;
    for (std::size_t i = 0; i < readOutItems_.size(); ++i)
        readOutItems_[i]->setChecked(static_cast<int>(i) == mode);
    if (!goesOn) dialogs_.ShowMessage(kRestoredStoppedText);
    return true;
}

void frmMain::RestorePlacement() {
    const WindowPlacement placement = LoadWindowPlacement(app_.Services().settings);
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    move(ToPixels(placement.left, dpiX), ToPixels(placement.top, dpiY));
    resize(ToPixels(placement.width, dpiX), ToPixels(placement.height, dpiY));
    // A placement stored on a screen that is no longer attached would open
    // the window where nobody can see it: bring it to the primary screen.
    const QRect placed(pos(), size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(placed)) return;
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        move(primary->availableGeometry().topLeft());
    }
}

void frmMain::StorePlacement() {
    // A minimized window keeps the placement of the previous run.
    if (isMinimized()) return;
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    SaveWindowPlacement(
        app_.Services().settings,
        {ToTwips(x(), dpiX), ToTwips(y(), dpiY), ToTwips(width(), dpiX), ToTwips(height(), dpiY)});
}

void frmMain::Init_Setting() {
    RaceState& state = app_.State();
    const ApplicationServices& services = app_.Services();
    Load_Setting(state, app_.Window(), services.files, dialogs_);
    raceWindow_->LoadCommentFromModel();

    if (rosterDialog_ == nullptr) {
        rosterDialog_ = std::make_unique<dlgIdName>(app_.Roster(), services.files, dialogs_);
    }
    rosterDialog_->Load_IdName();

    Clear_PortCheck();
    if (state.PortNumber >= 1 && state.PortNumber <= PortMenu::kPortCount) {
        SelectPort(state.PortNumber);
    } else {
        state.PortNumber = 0;
        dialogs_.ShowMessage("シリアルポートの設定を行ってください");
    }
    ApplyStartupRaceTimeDefault(state);
    // Another stored mode selects no item; it stays in force (and keeps the
    // cues silent) until the operator chooses "なし".
    if (state.TtsMode >= 0 && state.TtsMode < kReadOutModes) SelectReadOut(state.TtsMode);
}

void frmMain::closeEvent(QCloseEvent* event) {
    StorePlacement();
    Save_Setting(app_.State(), app_.Services().files, dialogs_);
    // The roster dialog has no owner; it closes with the application, without
    // saving, as closing it any other way than OK does.
    if (rosterDialog_ != nullptr) rosterDialog_->close();
    event->accept();
}

}  // namespace palomind
