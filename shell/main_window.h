#pragma once
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "app/application.h"
#include "app/crash_recovery.h"
#include "shell/comment_formatting.h"
#include "shell/main_window_placement.h"
#include "shell/port_menu.h"
#include "shell/redraw_pacer.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTextEdit;

namespace palomind {

class dlgIdName;
class frmAbout;
class frmRaceResult;
class LapReviewWindow;
class MeetingOpening;
class ReadOutOptions;
class SpectatorPublishing;
class StandDisplay;
class WarningBanner;
class WrappingToolBar;

// The main window: a multiple-document frame titled "Palomind" with the menu
// bar, the toolbar tbToolBar, the status bar and the race window as its one
// child. Its handlers turn the operator's commands into calls on the
// application; the race itself lives in the application.
class frmMain : public QMainWindow, private ApplicationView, private RaceEventListener {
    Q_OBJECT
  public:
    explicit frmMain(Application& app, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start sequence, run once before the window is first shown:
    // placement, race window, settings, roster, port, read-out mode, reset.
    void Form_Load();
    // A run that ended abnormally and left a race in its journal: the start
    // sequence offers to restore it in place of the reset. Before Form_Load.
    void OfferCrashedRun(std::optional<CrashedRun> run) { crashedRun_ = std::move(run); }
    // The meetings' part of the window: their items in the File menu, the
    // roster dialog leaving "idname.ind" alone while a heat's names are in
    // the roster, and a restored race filed under its heat. Once, before
    // Form_Load; without it the window knows no meeting.
    void AttachMeetings(MeetingOpening& meetings);
    // A file named on the command line, after Form_Load: a race record
    // (".race") as "レース記録を開く" opens it, any other as File > Open does.
    // Not while a restored race goes on live: the status bar says so.
    void OpenFromCommandLine(const std::string& path);

    frmRaceResult* RaceWindow() const { return raceWindow_; }
    SpectatorPublishing& Spectators() const { return *spectators_; }
    // The lap call's parts and the voice's pace (設定 > 読上げ設定).
    ReadOutOptions& ReadOutChoices() const { return *readOutOptions_; }
    QMdiArea* MdiArea() const { return mdiArea_; }

    // File menu.
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileExport_Click();
    void mnuFileOpenRecord_Click();
    void mnuFilePageSetup_Click();
    void mnuFilePrintPreview_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    // Edit menu.
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    // "ラップ修正": the lap review window, with the entrant `id` picked (0: the first).
    void mnuEditLapReview_Click();
    void OpenLapReview(int id);
    LapReviewWindow* LapReview() const { return lapReview_; }
    // Settings menu.
    void SelectPort(int portNumber);  // "ポート１".."ポート８"
    PortMenu& Ports() { return portMenu_; }
    void Clear_PortCheck();
    void mnuRaceTime_Click();
    void mnuStartWait_Click();
    void SelectReadOut(int mode);  // "なし" 0, "日本語" 1, "英語" 2
    // "日本語" and "英語" can be chosen where their voice could be loaded.
    void SetReadOutVoices(bool japanese, bool english);
    void mnuEditName_Click();
    void mnuMinLap_Click();
    // View, Window and Help menus.
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewSpectatorPage_Click();
    void mnuViewStandDisplay_Click();                      // "大型表示": opens or raises it
    StandDisplay* Stand() const { return standDisplay_; }  // null until first opened
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();

    // Every toolbar button lands here; its key chooses the command.
    void tbToolBar_ButtonClick(QAction* button);

    // The 10 ms race clock timer.
    void Timer1_Timer();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct SecondsSetting;
    struct ToolbarButton;
    // The toolbar's one table: keys, images, refusals and commands.
    static std::span<const ToolbarButton> ToolbarButtons();

    // RaceEventListener: every race event is a change to show.
    void OnRaceEvent(const RaceEvent& event) override;
    void RaceChanged();
    // ApplicationView
    void PlatformFailed(PlatformProblem problem, std::string_view detail) override;
    void ReceiverAbsenceChanged(const std::optional<ReceiverAbsence>& absence) override;

    // Built once by the constructor.
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void UpdateStatusClock();

    // Start-up and shutdown.
    void CreateRaceWindow();
    void Init_Setting();
    bool RestoreCrashedRace();

    // Commands shared by menus and toolbar.
    void StartRace();
    // File > Open and "レース記録を開く": the file picked, shown by `open`.
    // Returns its path once shown, nothing otherwise.
    std::optional<std::string> OpenStoredRace(const char* title, const char* filter,
                                              std::string (Application::*open)(const std::string&));
    // The file `path` read by `open` and shown (its path returned), or the
    // operator told why not.
    std::optional<std::string> ShowStoredRace(const std::string& path,
                                              std::string (Application::*open)(const std::string&));
    // The name the export dialog offers, without extension (export_command.cpp).
    std::string ExportName() const;
    void SaveResult(const char* title, const char* filter);
    void AskSeconds(const SecondsSetting& setting);
    void OpenRosterDialog();
    void ToggleCommentAttribute(QAction& button, CharAttribute attribute);
    void AlignComment(int value);
    QTextEdit* ActiveCommentBox() const;

    Application& app_;
    UserDialogs& dialogs_;
    QMdiArea* mdiArea_ = nullptr;
    QMdiSubWindow* raceSubWindow_ = nullptr;
    frmRaceResult* raceWindow_ = nullptr;
    std::unique_ptr<dlgIdName> rosterDialog_;
    std::unique_ptr<SpectatorPublishing> spectators_;
    frmAbout* aboutBox_ = nullptr;
    LapReviewWindow* lapReview_ = nullptr;
    MeetingOpening* meetings_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* mnuEditLapReview_ = nullptr;

    WrappingToolBar* tbToolBar_ = nullptr;
    QActionGroup* alignmentGroup_ = nullptr;
    std::array<QAction*, 3> readOutItems_{};
    ReadOutOptions* readOutOptions_ = nullptr;
    StandDisplay* standDisplay_ = nullptr;
    QAction* mnuViewToolbar_ = nullptr;
    QAction* mnuViewStatusBar_ = nullptr;

    WarningBanner* warnings_ = nullptr;    // the status bar's text panel
    QLabel* receiverNotice_ = nullptr;     // while no receiver port is open
    QLabel* statusProvisional_ = nullptr;  // "暫定" while a short lap is unresolved
    QLabel* statusDate_ = nullptr;
    QLabel* statusTime_ = nullptr;
    QTimer statusClock_;
    QTimer timer1_;
    RedrawPacer redraws_;

    // The result file shown, by name without extension, until something else
    // is shown: what names its exports, as it has no race record.
    std::string shownFileStem_;

    std::optional<CrashedRun> crashedRun_;
    bool restoredLive_ = false;  // the crashed run's race went on live
    MainWindowPlacement placement_;
    PortMenu portMenu_;
};

}  // namespace palomind
