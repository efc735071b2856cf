// The main window's commands on files, the serial port, the race parameters,
// the read-out mode and the roster.
#include <QAction>
#include <QMdiArea>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "app/seconds_input.h"
#include "documents/result_file.h"
#include "engine/time_format.h"
#include "platform/file_store.h"
#include "shell/main_window.h"
#include "shell/meeting_opening.h"
#include "shell/print_commands.h"
#include "shell/race_window_view.h"
#include "shell/roster_dialog.h"
#include "shell/warning_banner.h"

namespace palomind {
namespace {

constexpr const char* kResultFilter = "ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)|*.rdt";
constexpr const char* kSaveAsFilter = "ﾚｰｽﾌｧｲﾙ (*.rdt)|*.rdt";
constexpr const char* kRaceRecordFilter = "レース記録 (*.race)|*.race";
constexpr const char* kCannotChangeDuringRace = "レース中は変更できません。";

std::string TooLargeMessage() {
    return "入力された値が大きすぎます。\r\n-" + std::to_string(kMaxRaceSeconds) + " から " +
           std::to_string(kMaxRaceSeconds) + " までの秒数を入力してください。";
}

}  // namespace

// The two time settings differ only in their texts and their field.
struct frmMain::SecondsSetting {
    const char* prompt;
    const char* title;
    std::int32_t RaceState::*field;
    void (Application::*store)(std::int32_t);
};

void frmMain::mnuFileOpen_Click() {
    if (const auto shown = OpenStoredRace("開く", kResultFilter, &Application::OpenResultFile))
        shownFileStem_ = std::filesystem::path(*shown).stem().string();
}

void frmMain::mnuFileOpenRecord_Click() {
    if (OpenStoredRace("レース記録を開く", kRaceRecordFilter, &Application::OpenRaceRecord))
        shownFileStem_.clear();
}

std::optional<std::string> frmMain::OpenStoredRace(
    const char* title, const char* filter, std::string (Application::*open)(const std::string&)) {
    const std::string path = dialogs_.OpenFileName(title, filter);
    if (path.empty()) return std::nullopt;
    return ShowStoredRace(path, open);
}

void frmMain::OpenFromCommandLine(const std::string& path) {
    // The race brought back live is the one the operator is timing.
    if (restoredLive_) {
        warnings_->SetNote("前回のレースを計測中のため、ファイルを開きませんでした: " + path);
        return;
    }
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool record = extension == ".race";
    if (!ShowStoredRace(path, record ? &Application::OpenRaceRecord : &Application::OpenResultFile))
        return;
    // As File > Open and "レース記録を開く" leave the export's name.
    shownFileStem_ = record ? std::string() : std::filesystem::path(path).stem().string();
}

std::optional<std::string> frmMain::ShowStoredRace(
    const std::string& path, std::string (Application::*open)(const std::string&)) {
    // The whole file is read and checked before anything changes: a damaged
    // file leaves the race (even one in progress) as it was.
    const std::string problem = (app_.*open)(path);
    if (!problem.empty()) {
        dialogs_.ShowMessage(problem + "\r\n" + path);
        return std::nullopt;
    }
    raceWindow_->Refresh();
    return path;
}

// A race that was never saved is kept in its record only: the status bar
// says where, until the next start.
void frmMain::StartRace() {
    shownFileStem_.clear();
    const std::optional<std::string> unsaved = app_.StartRace();
    warnings_->SetNote(unsaved ? "前のレースの記録: races/" + *unsaved : std::string());
}

void frmMain::mnuFileSave_Click() {
    SaveResult("上書き保存", kResultFilter);
}

void frmMain::mnuFileSaveAs_Click() {
    SaveResult("名前を付けて保存", kSaveAsFilter);
}

void frmMain::SaveResult(const char* title, const char* filter) {
    const std::string path = dialogs_.SaveFileName(title, filter, {});
    if (path.empty()) return;
    const RaceDocument race = app_.Document();
    if (!SaveResultFile(path, race.state, race.window, app_.Files())) {
        dialogs_.ShowMessage("レース結果ファイルを保存できませんでした。\r\n" + path +
                             FailureReasonLine(app_.Files()));
        return;
    }
    app_.ResultFileSaved(path);
}

void frmMain::mnuFilePrint_Click() {
    if (mdiArea_->currentSubWindow() == nullptr) return;
    const RaceDocument race = app_.Document();
    RunMenuPrint(this, race.state, race.window, dialogs_, app_.Audit());
}

void frmMain::Clear_PortCheck() {
    portMenu_.ClearChecks();
}

void frmMain::SelectPort(int portNumber) {
    if (portMenu_.Select(portNumber)) warnings_->Mended(PlatformProblem::PortFailed);
}

void frmMain::mnuRaceTime_Click() {
    static const SecondsSetting kRaceTime{"レース時間を秒単位で\r\n入力してください。",
                                          "RaceTime設定", &RaceState::RaceTime,
                                          &Application::SetRaceTime};
    AskSeconds(kRaceTime);
}

void frmMain::mnuStartWait_Click() {
    static const SecondsSetting kStartWait{
        "レース開始までの待ち時間を\r\n秒単位で入力してください。", "WaitTime設定",
        &RaceState::StartWait, &Application::SetStartWait};
    AskSeconds(kStartWait);
}

void frmMain::AskSeconds(const SecondsSetting& setting) {
    if (!IsIdle(app_.State())) {
        dialogs_.ShowMessage(kCannotChangeDuringRace);
        return;
    }
    const std::string current = std::to_string(app_.State().*setting.field);
    const std::optional<std::string> entered =
        dialogs_.InputBox(setting.prompt, setting.title, current);
    if (!entered) return;
    const SecondsInput input = ParseSecondsInput(*entered);
    switch (input.kind) {
        case SecondsInput::Kind::Value:
            (app_.*setting.store)(input.value);
            break;
        case SecondsInput::Kind::TooLarge:
            // Beyond what the race clock can count: say so rather than let the
            // clock's arithmetic overflow during a race.
            dialogs_.ShowMessage(TooLargeMessage());
            break;
        case SecondsInput::Kind::NotNumber:
            break;  // cancelled, empty or not a number: the value stays
    }
}

void frmMain::mnuMinLap_Click() {
    if (!IsIdle(app_.State())) {
        dialogs_.ShowMessage(kCannotChangeDuringRace);
        return;
    }
    const std::int32_t ms = app_.State().MinLapMs;
    const std::string current = std::to_string(ms / 1000) + '.' + FormatPadded(ms % 1000 / 10, 2);
    const std::optional<std::string> entered =
        dialogs_.InputBox("最短ラップ(秒) 0で無効", "最短ラップ設定", current);
    if (!entered) return;
    const SecondsInput input = ParseHundredthsInput(*entered);
    const bool inRange = input.kind == SecondsInput::Kind::Value && input.value >= 0 &&
                         input.value <= kMostMinLapMs / 10;
    if (inRange)
        app_.SetMinLap(input.value * 10);
    else if (input.kind != SecondsInput::Kind::NotNumber)
        dialogs_.ShowMessage("入力された値が範囲外です。\r\n0 から " +
                             std::to_string(kMostMinLapMs / 1000) +
                             " までの秒数を入力してください。");
}

void frmMain::SelectReadOut(int mode) {
    if (mode < 0 || mode >= static_cast<int>(readOutItems_.size())) return;
    app_.SetTtsMode(static_cast<std::int16_t>(mode));
    for (std::size_t i = 0; i < readOutItems_.size(); ++i) {
        readOutItems_[i]->setChecked(static_cast<int>(i) == mode);
    }
}

void frmMain::SetReadOutVoices(bool japanese, bool english) {
    readOutItems_[1]->setEnabled(japanese);
    readOutItems_[2]->setEnabled(english);
}

void frmMain::mnuEditName_Click() {
    if (!IsIdle(app_.State())) {
        dialogs_.ShowMessage(kCannotChangeDuringRace);
        return;
    }
    OpenRosterDialog();
}

void frmMain::OpenRosterDialog() {
    if (rosterDialog_ == nullptr) {
        rosterDialog_ = std::make_unique<dlgIdName>(
            app_.Roster(), [this](int id, std::string name) { app_.SetName(id, std::move(name)); },
            app_.Files(), dialogs_,
            [this] { return meetings_ == nullptr || !meetings_->HeatNamesLoaded(); });
    }
    rosterDialog_->ShowDialog();
}

}  // namespace palomind
