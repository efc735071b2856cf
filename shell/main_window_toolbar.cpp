// The toolbar tbToolBar: its buttons and the one click handler that runs a
// command by the clicked button's key.
#include <QAction>
#include <QActionGroup>
#include <QTextEdit>
#include <span>
#include <string>

#include "shell/main_window.h"
#include "shell/print_commands.h"
#include "shell/toolbar_icons.h"
#include "shell/wrapping_toolbar.h"

namespace palomind {
namespace {

constexpr const char* kCannotOperateDuringRace = "レース中は操作できません";
constexpr const char* kCannotChangeDuringRace = "レース中は変更できません";

}  // namespace

// One place on the toolbar, left to right: a button or a separator.
struct frmMain::ToolbarButton {
    enum class Style { Normal, Toggle, Group, Separator };

    const char* key;  // also the tooltip; nullptr for a separator
    int image;        // ToolbarIcon number; 0 for a button that shows its key as text
    Style style;
    const char* refusedDuringRace;  // nullptr: runs in every race phase
    void (*run)(frmMain&, QAction&);
};

std::span<const frmMain::ToolbarButton> frmMain::ToolbarButtons() {
    using enum ToolbarButton::Style;
    static constexpr ToolbarButton kSeparator{nullptr, 0, Separator, nullptr, nullptr};
    static constexpr ToolbarButton kButtons[] = {
        {"開く", 2, Normal, kCannotOperateDuringRace,
         [](frmMain& w, QAction&) { w.mnuFileOpen_Click(); }},
        {"上書き保存", 3, Normal, kCannotOperateDuringRace,
         [](frmMain& w, QAction&) { w.mnuFileSave_Click(); }},
        kSeparator,
        {"印刷", 4, Normal, kCannotOperateDuringRace,
         [](frmMain& w, QAction&) {
             const RaceDocument race = w.app_.Document();
             RunToolbarPrint(&w, race.state, race.window, w.dialogs_, w.app_.Audit());
         }},
        kSeparator,
        {"切り取り", 5, Normal, nullptr, [](frmMain& w, QAction&) { w.mnuEditCut_Click(); }},
        {"ｺﾋﾟｰ", 6, Normal, nullptr, [](frmMain& w, QAction&) { w.mnuEditCopy_Click(); }},
        {"貼り付け", 7, Normal, nullptr, [](frmMain& w, QAction&) { w.mnuEditPaste_Click(); }},
        kSeparator,
        {"太字", 8, Toggle, nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Bold); }},
        {"斜体", 9, Toggle, nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Italic); }},
        {"下線", 10, Toggle, nullptr,
         [](frmMain& w, QAction& b) { w.ToggleCommentAttribute(b, CharAttribute::Underline); }},
        kSeparator,
        {"左揃え", 11, Group, nullptr, [](frmMain& w, QAction&) { w.AlignComment(0); }},
        {"中央揃え", 12, Group, nullptr, [](frmMain& w, QAction&) { w.AlignComment(2); }},
        {"右揃え", 13, Group, nullptr, [](frmMain& w, QAction&) { w.AlignComment(1); }},
        kSeparator,
        {"レース開始", 15, Normal, nullptr, [](frmMain& w, QAction&) { w.StartRace(); }},
        {"ストップ", 16, Normal, nullptr, [](frmMain& w, QAction&) { w.app_.StopRace(); }},
        kSeparator,
        {"参加者名簿", 17, Normal, kCannotChangeDuringRace,
         [](frmMain& w, QAction&) { w.OpenRosterDialog(); }},
        kSeparator,
        {"ＩＤ１", 0, Normal, nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(1); }},
        {"ＩＤ２", 0, Normal, nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(2); }},
        {"ＩＤ３", 0, Normal, nullptr, [](frmMain& w, QAction&) { w.app_.TestPass(3); }},
    };
    return kButtons;
}

void frmMain::BuildToolbar() {
    // Wraps onto further rows at a narrow width, so no button is ever out
    // of reach behind an overflow arrow.
    tbToolBar_ = new WrappingToolBar(QStringLiteral("tbToolBar"), this);
    addToolBar(tbToolBar_);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    // Fixed in place: the View menu's check mark is the only way to hide it.
    tbToolBar_->setMovable(false);
    tbToolBar_->setFloatable(false);
    tbToolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    alignmentGroup_ = new QActionGroup(this);
    alignmentGroup_->setExclusive(true);

    using enum ToolbarButton::Style;
    for (const ToolbarButton& entry : ToolbarButtons()) {
        if (entry.style == Separator) {
            tbToolBar_->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf8(entry.key);
        QAction* button = new QAction(key, tbToolBar_);
        button->setData(key);
        button->setCheckable(entry.style != Normal);
        if (entry.style == Group) alignmentGroup_->addAction(button);
        if (entry.image != 0) button->setIcon(ToolbarIcon(entry.image));
        tbToolBar_->addAction(button);
        // A button without an icon shows its key as text and has no tooltip.
        if (entry.image == 0) tbToolBar_->WidgetFor(button)->setToolTip(QString());
    }
    connect(tbToolBar_, &QToolBar::actionTriggered, this, &frmMain::tbToolBar_ButtonClick);
}

void frmMain::tbToolBar_ButtonClick(QAction* button) {
    if (button == nullptr) return;
    const std::string key = button->data().toString().toStdString();
    for (const ToolbarButton& entry : ToolbarButtons()) {
        if (entry.key == nullptr || entry.key != key) continue;
        if (entry.refusedDuringRace != nullptr && !IsIdle(app_.State())) {
            dialogs_.ShowMessage(entry.refusedDuringRace);
            return;
        }
        entry.run(*this, *button);
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
