// The toolbar tbToolBar: its buttons and the one click handler that runs a
// command by the clicked button's key.
#include <QAction>
#include <QActionGroup>
#include <QTextEdit>
#include <QToolBar>
#include <string_view>

#include "shell/main_window.h"
#include "shell/print_commands.h"
#include "shell/toolbar_icons.h"

namespace palomind {
namespace {

enum class ButtonStyle { Normal, Toggle, Group, Separator };

struct ToolbarButton {
    const char* key;  // also the tooltip; nullptr for a separator
    int image;        // ToolbarIcon number; 0 for a button that shows its key as text
    ButtonStyle style;
};

constexpr ToolbarButton kSeparator{nullptr, 0, ButtonStyle::Separator};
constexpr ToolbarButton kButtons[] = {
    {"開く", 2, ButtonStyle::Normal},
    {"上書き保存", 3, ButtonStyle::Normal},
    kSeparator,
    {"印刷", 4, ButtonStyle::Normal},
    kSeparator,
    {"切り取り", 5, ButtonStyle::Normal},
    {"ｺﾋﾟｰ", 6, ButtonStyle::Normal},
    {"貼り付け", 7, ButtonStyle::Normal},
    kSeparator,
    {"太字", 8, ButtonStyle::Toggle},
    {"斜体", 9, ButtonStyle::Toggle},
    {"下線", 10, ButtonStyle::Toggle},
    kSeparator,
    {"左揃え", 11, ButtonStyle::Group},
    {"中央揃え", 12, ButtonStyle::Group},
    {"右揃え", 13, ButtonStyle::Group},
    kSeparator,
    {"レース開始", 15, ButtonStyle::Normal},
    {"ストップ", 16, ButtonStyle::Normal},
    kSeparator,
    {"参加者名簿", 17, ButtonStyle::Normal},
    kSeparator,
    {"ＩＤ１", 0, ButtonStyle::Normal},
    {"ＩＤ２", 0, ButtonStyle::Normal},
    {"ＩＤ３", 0, ButtonStyle::Normal},
};

constexpr const char* kCannotOperateDuringRace = "レース中は操作できません";
constexpr const char* kCannotChangeDuringRace = "レース中は変更できません";

}  // namespace

void frmMain::BuildToolbar() {
    tbToolBar_ = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    // Fixed in place: the View menu's check mark is the only way to hide it.
    tbToolBar_->setMovable(false);
    tbToolBar_->setFloatable(false);
    tbToolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    alignmentGroup_ = new QActionGroup(this);
    alignmentGroup_->setExclusive(true);

    for (const ToolbarButton& entry : kButtons) {
        if (entry.style == ButtonStyle::Separator) {
            tbToolBar_->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf8(entry.key);
        QAction* button = new QAction(key, tbToolBar_);
        button->setData(key);
        button->setCheckable(entry.style != ButtonStyle::Normal);
        if (entry.style == ButtonStyle::Group) alignmentGroup_->addAction(button);
        if (entry.image != 0) button->setIcon(ToolbarIcon(entry.image));
        tbToolBar_->addAction(button);
        // A button without an icon shows its key as text and has no tooltip.
        if (entry.image == 0) tbToolBar_->widgetForAction(button)->setToolTip(QString());
    }
    connect(tbToolBar_, &QToolBar::actionTriggered, this, &frmMain::tbToolBar_ButtonClick);
}

void frmMain::tbToolBar_ButtonClick(QAction* button) {
    if (button == nullptr) return;
    using Run = void (*)(frmMain&, QAction&);
    struct Command {
        std::string_view key;
        const char* refusedDuringRace;  // nullptr: runs in every race phase
        Run run;
    };
    static const Command kCommands[] = {
        {"開く", kCannotOperateDuringRace, [](frmMain& w, QAction&) { w.mnuFileOpen_Click(); }},
        {"上書き保存", kCannotOperateDuringRace,
         [](frmMain& w, QAction&) { w.mnuFileSave_Click(); }},
        {"印刷", kCannotOperateDuringRace,
         [](frmMain& w, QAction&) {
             const RaceDocument race = w.app_.Document();
             RunToolbarPrint(&w, race.state, race.window, w.dialogs_);
         }},
        {"切り取り", nullptr, [](frmMain& w, QAction&) { w.mnuEditCut_Click(); }},
        {"ｺﾋﾟｰ", nullptr, [](frmMain& w, QAction&) { w.mnuEditCopy_Click(); }},
        {"貼り付け", nullptr, [](frmMain& w, QAction&) { w.mnuEditPaste_Click(); }},
        {"太字", nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Bold); }},
        {"斜体", nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Italic); }},
        {"下線", nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Underline); }},
        {"左揃え", nullptr, [](frmMain& w, QAction&) { w.AlignComment(0); }},
        {"中央揃え", nullptr, [](frmMain& w, QAction&) { w.AlignComment(2); }},
        {"右揃え", nullptr, [](frmMain& w, QAction&) { w.AlignComment(1); }},
        {"レース開始", nullptr, [](frmMain& w, QAction&) { w.app_.StartRace(); }},
        {"ストップ", nullptr, [](frmMain& w, QAction&) { w.app_.StopRace(); }},
        {"参加者名簿", kCannotChangeDuringRace, [](frmMain& w, QAction&) { w.OpenRosterDialog(); }},
        {"ＩＤ１", nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(1); }},
        {"ＩＤ２", nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(2); }},
        {"ＩＤ３", nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(3); }},
    };

    const std::string key = button->data().toString().toStdString();
    for (const Command& command : kCommands) {
        if (command.key != key) continue;
        if (command.refusedDuringRace != nullptr && !IsIdle(app_.State())) {
            dialogs_.ShowMessage(command.refusedDuringRace);
            return;
        }
        command.run(*this, *button);
        return;
    }
}

void frmMain::ToggleCommentAttribute(QAction& button, CharAttribute attribute) {
    QTextEdit* box = ActiveCommentBox();
    if (box == nullptr) {
        // Nothing to format: the button keeps the state it had before the click.
        button.setChecked(!button.isChecked());
        return;
    }
    button.setChecked(ToggleCharAttribute(box, attribute));
}

void frmMain::AlignComment(int value) {
    if (QTextEdit* box = ActiveCommentBox()) SetParagraphAlignment(box, value);
}

}  // namespace palomind
