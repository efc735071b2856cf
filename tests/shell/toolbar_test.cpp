// The toolbar's buttons and its dispatch by key.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "shell/race_window_view.h"
#include "shell/roster_dialog.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

constexpr Qt::Alignment kLeftRightCentre = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter;

class ToolbarTest : public StartedShellTest {
  protected:
    QToolBar* Toolbar() const {
        return h.window->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    }
    QToolButton* ButtonWidget(std::string_view key) const {
        QAction* button = h.Button(key);
        for (auto* widget : Toolbar()->findChildren<QToolButton*>()) {
            if (widget->defaultAction() == button) return widget;
        }
        return nullptr;
    }
    QTextEdit* CommentBox() const { return h.window->RaceWindow()->RichTextBox1(); }
    void SelectAllComment() const {
        QTextCursor cursor = CommentBox()->textCursor();
        cursor.select(QTextCursor::Document);
        CommentBox()->setTextCursor(cursor);
    }
};

TEST_F(ToolbarTest, ButtonsStandInOrderWithTheirKeysTooltipsAndSeparators) {
    std::vector<std::string> layout;
    for (QAction* action : Toolbar()->actions()) {
        layout.push_back(action->isSeparator() ? "|" : action->data().toString().toStdString());
    }
    EXPECT_EQ(layout, (std::vector<std::string>{
                          "開く",       "上書き保存", "|",          "印刷",     "|",
                          "切り取り",   "ｺﾋﾟｰ",       "貼り付け",   "|",        "太字",
                          "斜体",       "下線",       "|",          "左揃え",   "中央揃え",
                          "右揃え",     "|",          "レース開始", "ストップ", "|",
                          "参加者名簿", "|",          "ＩＤ１",     "ＩＤ２",   "ＩＤ３"}));
    const auto tooltip = [&](std::string_view key) {
        return ButtonWidget(key)->toolTip().toStdString();
    };
    EXPECT_EQ(tooltip("上書き保存"), "上書き保存");
    EXPECT_EQ(tooltip("参加者名簿"), "参加者名簿");
    EXPECT_FALSE(h.Button("開く")->icon().isNull());
    // The ID buttons show their key as text, with no icon and no tooltip.
    EXPECT_TRUE(h.Button("ＩＤ１")->icon().isNull());
    EXPECT_EQ(tooltip("ＩＤ１"), "");
}

// The toolbar wraps onto further rows rather than hide buttons behind an
// overflow arrow, so the test buttons take one click at any width.
TEST_F(ToolbarTest, EveryButtonStandsInTheWindowAtTheDefaultWidthAndNarrower) {
    // The default 10000 twips at 96 dpi, frame included.
    ASSERT_EQ(h.window->frameGeometry().width(), 667);
    QWidget* centre = h.window->centralWidget();
    for (const int width : {h.window->width(), 240}) {
        SCOPED_TRACE(width);
        h.window->resize(width, h.window->height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
        int buttons = 0;
        for (QAction* action : Toolbar()->actions()) {
            if (action->isSeparator()) continue;
            const std::string key = action->data().toString().toStdString();
            const QToolButton* button = ButtonWidget(key);
            ASSERT_NE(button, nullptr) << key;
            EXPECT_TRUE(button->isVisible()) << key;
            const QRect onToolbar(button->mapTo(Toolbar(), QPoint()), button->size());
            EXPECT_TRUE(Toolbar()->rect().contains(onToolbar)) << key;
            EXPECT_TRUE(h.window->rect().contains(onToolbar.translated(Toolbar()->pos()))) << key;
            ++buttons;
        }
        EXPECT_EQ(buttons, 18);
        for (const auto* arrow :
             Toolbar()->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
            EXPECT_FALSE(arrow->isVisible());
        }
        EXPECT_GE(centre->y(), Toolbar()->geometry().bottom());
    }
}

TEST_F(ToolbarTest, FileRosterAndPrintButtonsAreRefusedWhileARaceRuns) {
    h.Press("レース開始");
    h.Press("ＩＤ１");
    for (const char* phase : {"countdown", "timing", "finishing"}) {
        SCOPED_TRACE(phase);
        h.dialogs.messages.clear();
        for (const char* key : {"開く", "上書き保存", "印刷", "参加者名簿"}) h.Press(key);
        EXPECT_EQ(h.dialogs.messages, (std::vector<std::string>{
                                          "レース中は操作できません", "レース中は操作できません",
                                          "レース中は操作できません", "レース中は変更できません"}));
        EXPECT_TRUE(h.dialogs.fileRequests.empty());
        h.RunClockUntil(h.Now() + (std::string_view(phase) == "countdown" ? 10'000 : 480'000));
    }
    // After "全終了" (RaceStarted is still set) the buttons work again.
    h.serial.Receive(Frame(1));
    ASSERT_EQ(h.Model().StatusCaption, "全終了");
    h.dialogs.messages.clear();
    h.dialogs.fileAnswers.push_back("");  // cancels the open dialog
    h.Press("開く");
    EXPECT_EQ(h.dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(ToolbarTest, RaceButtonsStartStopAndFeedTestPassesInEveryPhase) {
    h.Press("ＩＤ１");
    h.Press("ＩＤ１");
    h.Press("ＩＤ３");
    EXPECT_EQ(h.State().LapCount[1], 0);
    EXPECT_EQ(h.State().LapCount[2], 0);
    EXPECT_EQ(h.State().LapCount[3], 0);

    h.Press("レース開始");
    EXPECT_EQ(h.State().RaceStarted, kTrue);
    EXPECT_EQ(h.State().LapCount[1], -1);  // the start resets the race
    h.Press("ＩＤ２");
    EXPECT_EQ(h.State().LapCount[2], 0);
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 1), "02");
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 2), "R02");  // the roster name

    h.Press("ストップ");
    EXPECT_EQ(h.State().RaceStarted, kFalse);
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(ToolbarTest, ClickingTheRealToolButtonReachesTheDispatch) {
    QToolButton* button = ButtonWidget("ＩＤ３");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(h.State().LapCount[3], 0);
}

TEST_F(ToolbarTest, FormattingButtonsFormatTheCommentAndShowItsState) {
    SelectAllComment();
    h.Press("太字");
    EXPECT_TRUE(h.Button("太字")->isChecked());
    EXPECT_EQ(CommentBox()->textCursor().charFormat().fontWeight(), QFont::Bold);
    h.Press("太字");
    EXPECT_FALSE(h.Button("太字")->isChecked());
    EXPECT_NE(CommentBox()->textCursor().charFormat().fontWeight(), QFont::Bold);

    h.Press("斜体");
    h.Press("下線");
    EXPECT_TRUE(h.Button("斜体")->isChecked());
    EXPECT_TRUE(h.Button("下線")->isChecked());
    EXPECT_TRUE(CommentBox()->textCursor().charFormat().fontItalic());
    EXPECT_TRUE(CommentBox()->textCursor().charFormat().fontUnderline());

    h.Press("中央揃え");
    EXPECT_EQ(CommentBox()->document()->firstBlock().blockFormat().alignment() & kLeftRightCentre,
              Qt::AlignHCenter);
    EXPECT_TRUE(h.Button("中央揃え")->isChecked());
    h.Press("右揃え");
    EXPECT_EQ(CommentBox()->document()->firstBlock().blockFormat().alignment() & kLeftRightCentre,
              Qt::AlignRight);
    EXPECT_FALSE(h.Button("中央揃え")->isChecked());
    EXPECT_TRUE(h.Button("右揃え")->isChecked());
    h.Press("左揃え");
    EXPECT_EQ(CommentBox()->document()->firstBlock().blockFormat().alignment() & kLeftRightCentre,
              Qt::AlignLeft);
    // The comment's text itself is unchanged by formatting.
    EXPECT_EQ(h.Model().Comment, "レースコメント記入欄");
}

TEST_F(ToolbarTest, ClipboardButtonsCutCopyAndPasteTheCommentSelection) {
    SelectAllComment();
    h.Press("ｺﾋﾟｰ");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "レースコメント記入欄");
    h.Press("切り取り");
    EXPECT_EQ(CommentBox()->toPlainText().toStdString(), "");
    EXPECT_EQ(h.Model().Comment, "");
    QApplication::clipboard()->setText(QStringLiteral("雨天\n路面ウェット"));
    h.Press("貼り付け");
    EXPECT_EQ(h.Model().Comment, "雨天\r\n路面ウェット");
}

TEST_F(ToolbarTest, SaveAndOpenButtonsWorkOnResultFiles) {
    h.Press("ＩＤ１");
    h.Press("ＩＤ１");  // ID 2
    h.Press("ＩＤ２");  // a lap for ID 2: MaxLap 1
    ASSERT_EQ(h.State().MaxLap, 1);
    h.dialogs.fileAnswers.push_back("race.rdt");
    h.Press("上書き保存");
    EXPECT_EQ(h.dialogs.fileRequests.back().title, "上書き保存");
    EXPECT_EQ(h.dialogs.fileRequests.back().filter, "ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)|*.rdt");
    const std::string saved = h.ReadFile("race.rdt");
    ASSERT_FALSE(saved.empty());

    h.Press("レース開始");
    ASSERT_EQ(h.State().MaxLap, 0);
    h.Press("ストップ");
    h.dialogs.fileAnswers.push_back("race.rdt");
    h.Press("開く");
    EXPECT_EQ(h.dialogs.fileRequests.back().title, "開く");
    EXPECT_EQ(h.State().MaxLap, 1);
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 1), "02");
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(ToolbarTest, PrintButtonWithoutLapsTellsThatThereIsNothingToPrint) {
    h.Press("印刷");
    EXPECT_EQ(h.dialogs.messages,
              std::vector<std::string>{"ラップデータが無いので印刷できません。"});
}

TEST_F(ToolbarTest, RosterButtonOpensTheRosterDialogWithoutWaiting) {
    h.Press("参加者名簿");
    auto* roster = h.window->findChild<dlgIdName*>();
    if (roster == nullptr) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<dlgIdName*>(top)) roster = dialog;
        }
    }
    ASSERT_NE(roster, nullptr);
    EXPECT_TRUE(roster->isVisible());
    EXPECT_FALSE(roster->isModal());
    roster->close();
}

}  // namespace
}  // namespace palomind::testing
