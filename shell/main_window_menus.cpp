// The menu bar of the main window and the menu commands that only the menus
// run: edit, view, window and help, page setup and print preview.
#include <QAction>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextEdit>
#include <initializer_list>

#include "shell/about_box.h"
#include "shell/lap_review_window.h"
#include "shell/main_window.h"
#include "shell/mdi_arrange.h"
#include "shell/meeting_opening.h"
#include "shell/read_out_options.h"
#include "shell/spectator_publishing.h"
#include "shell/stand_display.h"
#include "shell/wrapping_toolbar.h"

namespace palomind {
namespace {

enum ItemState : unsigned { kPlain = 0, kChecked = 1, kDisabled = 2, kCheckable = 4 };

struct MenuItem {
    const char* name;  // nullptr: a separator
    const char* caption = nullptr;
    void (frmMain::*command)() = nullptr;
    int ctrlKey = 0;  // the shortcut is Ctrl with this Qt::Key; 0 for none
    unsigned state = kPlain;
};

constexpr const char* kHelpMissing =
    "ﾍﾙﾌﾟの目次を表示できません。 このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。";
constexpr const char* kUnderConstruction = "現在工事中";

// The read-out items, one for each mode.
struct ReadOutItem {
    const char* name;
    const char* caption;
    unsigned state;
};
constexpr ReadOutItem kReadOutItems[] = {
    {"mnuTTSN", "なし", kChecked},
    {"mnuTTSJ", "日本語", kChecked | kDisabled},
    {"mnuTTSE", "英語", kChecked | kDisabled},
};

}  // namespace

void frmMain::BuildMenus() {
    const auto addMenu = [this](QMenu* parent, const char* name, const char* caption) {
        QMenu* menu = parent != nullptr ? parent->addMenu(QString::fromUtf8(caption))
                                        : menuBar()->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromUtf8(name));
        menu->menuAction()->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                unsigned state) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromUtf8(name));
        item->setCheckable((state & (kChecked | kCheckable)) != 0);
        item->setChecked((state & kChecked) != 0);
        item->setEnabled((state & kDisabled) == 0);
        return item;
    };
    const auto addItems = [&](QMenu* menu, std::initializer_list<MenuItem> items) {
        for (const MenuItem& entry : items) {
            if (entry.name == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* item =
                addItem(menu, entry.name, QString::fromUtf8(entry.caption), entry.state);
            if (entry.ctrlKey != 0)
                item->setShortcut(QKeyCombination(Qt::CTRL, static_cast<Qt::Key>(entry.ctrlKey)));
            connect(item, &QAction::triggered, this, entry.command);
        }
    };

    QMenu* file = addMenu(nullptr, "mnuFile", "ﾌｧｲﾙ(&F)");
    fileMenu_ = file;
    addItems(file, {
                       {"mnuFileOpen", "開く(&O)...", &frmMain::mnuFileOpen_Click, Qt::Key_O},
                       {"mnuFileSave", "上書き保存(&S)", &frmMain::mnuFileSave_Click},
                       {"mnuFileSaveAs", "名前を付けて保存(&A)...", &frmMain::mnuFileSaveAs_Click},
                       {"mnuFileExport", "ｴｸｽﾎﾟｰﾄ(&E)...", &frmMain::mnuFileExport_Click},
                       {"mnuFileOpenRecord", "レース記録を開く(&R)...",
                        &frmMain::mnuFileOpenRecord_Click},
                       {nullptr},
                       {"mnuFilePageSetup", "ﾍﾟｰｼﾞ設定(&U)...", &frmMain::mnuFilePageSetup_Click, 0,
                        kDisabled},
                       {"mnuFilePrintPreview", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)",
                        &frmMain::mnuFilePrintPreview_Click, 0, kDisabled},
                       {"mnuFilePrint", "印刷(&P)...", &frmMain::mnuFilePrint_Click},
                       {nullptr},
                       {"mnuFileExit", "終了(&X)", &frmMain::mnuFileExit_Click},
                   });

    QMenu* edit = addMenu(nullptr, "mnuEdit", "編集(&E)");
    addItems(edit, {
                       {"mnuEditUndo", "元に戻す(&U)", &frmMain::mnuEditUndo_Click},
                       {nullptr},
                       {"mnuEditCut", "切り取り(&T)", &frmMain::mnuEditCut_Click, Qt::Key_X},
                       {"mnuEditCopy", "ｺﾋﾟｰ(&C)", &frmMain::mnuEditCopy_Click, Qt::Key_C},
                       {"mnuEditPaste", "貼り付け(&P)", &frmMain::mnuEditPaste_Click, Qt::Key_V},
                       {nullptr},
                       {"mnuEditLapReview", "ラップ修正(&L)...", &frmMain::mnuEditLapReview_Click,
                        0, kDisabled},
                   });
    mnuEditLapReview_ = edit->findChild<QAction*>(QStringLiteral("mnuEditLapReview"));

    QMenu* setting = addMenu(nullptr, "mnuSetting", "設定");
    QMenu* ports = addMenu(setting, "mnuSCI_Port", "通信ポート");
    portMenu_.AddItems(*ports, [this](int n) { SelectPort(n); });
    portMenu_.AddSetupItems(*ports, *this);
    addItems(setting,
             {
                 {nullptr},
                 {"mnuRaceTime", "レース時間...", &frmMain::mnuRaceTime_Click, Qt::Key_T},
                 {"mnuStartWait", "スタート待時間...", &frmMain::mnuStartWait_Click, Qt::Key_W},
                 {nullptr},
             });
    QMenu* readOut = addMenu(setting, "mnuTTS", "読上げ設定");
    for (int mode = 0; mode < static_cast<int>(readOutItems_.size()); ++mode) {
        const ReadOutItem& entry = kReadOutItems[mode];
        QAction* item = addItem(readOut, entry.name, QString::fromUtf8(entry.caption), entry.state);
        connect(item, &QAction::triggered, this, [this, mode] { SelectReadOut(mode); });
        readOutItems_[static_cast<std::size_t>(mode)] = item;
    }
    readOutOptions_->AddItems(*readOut);
    addItems(setting, {
                          {nullptr},
                          {"mnuEditName", "参加者名簿...", &frmMain::mnuEditName_Click},
                          {nullptr},
                          {"mnuMinLap", "最短ラップ...", &frmMain::mnuMinLap_Click},
                      });

    // The view toggles run after Qt has turned their check mark over.
    QMenu* view = addMenu(nullptr, "mnuView", "表示(&V)");
    addItems(
        view,
        {
            {"mnuViewToolbar", "ﾂｰﾙ ﾊﾞｰ(&T)", &frmMain::mnuViewToolbar_Click, 0, kChecked},
            {"mnuViewStatusBar", "ｽﾃｰﾀｽ ﾊﾞｰ(&B)", &frmMain::mnuViewStatusBar_Click, 0, kChecked},
            {nullptr},
            {"mnuViewSpectatorPage", "観客用ﾍﾟｰｼﾞを公開", &frmMain::mnuViewSpectatorPage_Click, 0,
             kCheckable},
            {nullptr},
            {"mnuViewStandDisplay", "大型表示", &frmMain::mnuViewStandDisplay_Click},
        });
    mnuViewToolbar_ = view->findChild<QAction*>(QStringLiteral("mnuViewToolbar"));
    mnuViewStatusBar_ = view->findChild<QAction*>(QStringLiteral("mnuViewStatusBar"));

    QMenu* window = addMenu(nullptr, "mnuWindow", "ｳｨﾝﾄﾞｳ(&W)");
    addItems(window,
             {
                 {"mnuWindowCascade", "重ねて表示(&C)", &frmMain::mnuWindowCascade_Click},
                 {"mnuWindowTileHorizontal", "上下に並べて表示(&H)",
                  &frmMain::mnuWindowTileHorizontal_Click},
                 {"mnuWindowTileVertical", "左右に並べて表示(&V)",
                  &frmMain::mnuWindowTileVertical_Click},
                 {"mnuWindowArrangeIcons", "ｱｲｺﾝの整列(&A)", &frmMain::mnuWindowArrangeIcons_Click},
             });
    window->menuAction()->setEnabled(false);

    QMenu* help = addMenu(nullptr, "mnuHelp", "ﾍﾙﾌﾟ(&H)");
    addItems(help,
             {
                 {"mnuHelpContents", "目次(&C)", &frmMain::mnuHelpContents_Click, 0, kDisabled},
                 {"mnuHelpSearchForHelpOn", "ﾄﾋﾟｯｸの検索(&S)...",
                  &frmMain::mnuHelpSearchForHelpOn_Click, 0, kDisabled},
                 {nullptr},
                 {"mnuHelpAbout", "ﾊﾞｰｼﾞｮﾝ情報(&A)", &frmMain::mnuHelpAbout_Click},
             });
}

// The meetings' items go between "印刷" and the separator above "終了".
void frmMain::AttachMeetings(MeetingOpening& meetings) {
    meetings_ = &meetings;
    const QList<QAction*> items = fileMenu_->actions();
    const qsizetype exit = items.indexOf(findChild<QAction*>(QStringLiteral("mnuFileExit")));
    meetings.AddMenuItems(*fileMenu_, items.at(exit - 1));
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuEditUndo_Click() {
    dialogs_.ShowMessage(" 'mnuEditUndo_Click' のｺｰﾄﾞを追加します。");
}

// Cut, copy and paste act on the race comment box of the active child window,
// as the keyboard's Ctrl+X, Ctrl+C and Ctrl+V do inside the box.
void frmMain::mnuEditCut_Click() {
    if (QTextEdit* box = ActiveCommentBox()) box->cut();
}

void frmMain::mnuEditCopy_Click() {
    if (QTextEdit* box = ActiveCommentBox()) box->copy();
}

void frmMain::mnuEditPaste_Click() {
    if (QTextEdit* box = ActiveCommentBox()) box->paste();
}

void frmMain::mnuEditLapReview_Click() {
    OpenLapReview(0);
}

void frmMain::OpenLapReview(int id) {
    if (!app_.CanCorrect()) return;
    if (lapReview_ == nullptr) lapReview_ = new LapReviewWindow(app_, this);
    lapReview_->ShowEntrant(id);
}

void frmMain::mnuViewToolbar_Click() {
    tbToolBar_->setVisible(mnuViewToolbar_->isChecked());
}

void frmMain::mnuViewStatusBar_Click() {
    statusBar()->setVisible(mnuViewStatusBar_->isChecked());
}

void frmMain::mnuViewSpectatorPage_Click() {
    spectators_->MenuToggled();
}

void frmMain::mnuViewStandDisplay_Click() {
    if (standDisplay_ == nullptr) standDisplay_ = new StandDisplay(app_, this);
    standDisplay_->Open();
}

void frmMain::mnuWindowCascade_Click() {
    mdiArea_->cascadeSubWindows();
}

void frmMain::mnuWindowTileHorizontal_Click() {
    TileSubWindows(*mdiArea_, Qt::Vertical);
}

void frmMain::mnuWindowTileVertical_Click() {
    TileSubWindows(*mdiArea_, Qt::Horizontal);
}

void frmMain::mnuWindowArrangeIcons_Click() {
    ArrangeMinimizedSubWindows(*mdiArea_);
}

// No help file comes with the program.
void frmMain::mnuHelpContents_Click() {
    dialogs_.ShowInformation(kHelpMissing);
}

void frmMain::mnuHelpSearchForHelpOn_Click() {
    dialogs_.ShowInformation(kHelpMissing);
}

void frmMain::mnuHelpAbout_Click() {
    if (aboutBox_ == nullptr) aboutBox_ = new frmAbout(this);
    aboutBox_->exec();
}

void frmMain::mnuFilePageSetup_Click() {
    dialogs_.ShowMessage(kUnderConstruction);
    QPrinter printer;
    QPageSetupDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("ﾍﾟｰｼﾞ設定"));
    dialog.exec();  // what is chosen there is not used yet
}

void frmMain::mnuFilePrintPreview_Click() {
    dialogs_.ShowMessage(kUnderConstruction);
}

}  // namespace palomind
