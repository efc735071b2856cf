// The main window's start sequence and shutdown.
#include <QCloseEvent>

#include "app/window_placement.h"
#include "shell/main_window.h"
#include "shell/meeting_opening.h"
#include "shell/race_window_view.h"
#include "shell/read_out_options.h"
#include "shell/roster_dialog.h"
#include "shell/stand_display.h"

namespace palomind {
namespace {

constexpr int kReadOutModes = 3;

}  // namespace

void frmMain::Form_Load() {
    placement_.Restore(*this);
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
    if (!dialogs_.AskYesNo(RestoreQuestionText(run))) {
        SettleCrashedRun(run.journal, false);
        return false;
    }
    const bool goesOn = app_.BootRestoring(run.events, run.journal.string());
    SettleCrashedRun(run.journal, true);
    if (meetings_ != nullptr) meetings_->RaceRestored(run.heat);
    restoredLive_ = goesOn;
    if (!run.leftOutNote.empty()) app_.NoteInJournal(run.leftOutNote);
    // The restored race brings its own read-out mode.
    const std::int16_t mode = app_.State().TtsMode;
    for (std::size_t i = 0; i < readOutItems_.size(); ++i)
        readOutItems_[i]->setChecked(static_cast<int>(i) == mode);
    readOutOptions_->ShowParts();
    if (!goesOn) dialogs_.ShowMessage(kRestoredStoppedText);
    return true;
}

void frmMain::Init_Setting() {
    // The settings file (with the comment) and the roster file.
    app_.LoadStartupFiles();
    raceWindow_->LoadCommentFromModel();

    const RaceState& state = app_.State();
    Clear_PortCheck();
    if (state.PortNumber >= 1 && state.PortNumber <= PortMenu::kPortCount) {
        SelectPort(state.PortNumber);
    } else {
        app_.SetPortNumber(0);
        dialogs_.ShowMessage("シリアルポートの設定を行ってください");
    }
    // Another stored mode selects no item; it stays in force (and keeps the
    // cues silent) until the operator chooses "なし".
    if (state.TtsMode >= 0 && state.TtsMode < kReadOutModes) SelectReadOut(state.TtsMode);
    readOutOptions_->LoadStored();
}

void frmMain::closeEvent(QCloseEvent* event) {
    placement_.Store(*this);
    if (standDisplay_ != nullptr && standDisplay_->isVisible()) standDisplay_->StorePlacement();
    app_.CommitComment();
    app_.SaveSettingsAtExit();
    // The roster dialog has no owner; it closes with the application, without
    // saving, as closing it any other way than OK does.
    if (rosterDialog_ != nullptr) rosterDialog_->close();
    event->accept();
}

}  // namespace palomind
