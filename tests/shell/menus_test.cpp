// The menu bar: items and states, the view toggles, the edit and help
// commands, the read-out items, the About box and the file commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include "shell/about_box.h"
#include "shell/race_window_view.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class MenusTest : public StartedShellTest {
  protected:
    // A race with laps, so that a result file holds grids.
    void RunShortRace() {
        h.Press("ＩＤ１");
        h.Press("ＩＤ１");
        h.Press("ＩＤ２");
        h.Press("ＩＤ３");
    }
};

// One line per item: caption, shortcut and state; "-" for a separator.
std::vector<std::string> Describe(const QMenu* menu) {
    std::vector<std::string> lines;
    for (const QAction* item : menu->actions()) {
        if (item->isSeparator()) {
            lines.push_back("-");
            continue;
        }
        std::string line = item->text().toStdString();
        if (!item->shortcut().isEmpty()) line += " " + item->shortcut().toString().toStdString();
        if (item->isChecked()) line += " [x]";
        if (!item->isEnabled()) line += " (disabled)";
        lines.push_back(line);
    }
    return lines;
}

TEST_F(MenusTest, MenuBarHoldsEveryItemWithItsShortcutAndState) {
    std::vector<std::string> bar;
    for (const QAction* menu : h.window->menuBar()->actions()) {
        bar.push_back(menu->text().toStdString() + (menu->isEnabled() ? "" : " (disabled)"));
    }
    EXPECT_EQ(bar, (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "編集(&E)", "設定", "表示(&V)",
                                             "ｳｨﾝﾄﾞｳ(&W) (disabled)", "ﾍﾙﾌﾟ(&H)"}));
    const auto menu = [&](const char* name) {
        return h.window->findChild<QMenu*>(QString::fromUtf8(name));
    };
    EXPECT_EQ(
        Describe(menu("mnuFile")),
        (std::vector<std::string>{"開く(&O)... Ctrl+O", "上書き保存(&S)", "名前を付けて保存(&A)...",
                                  "ｴｸｽﾎﾟｰﾄ(&E)...", "-", "ﾍﾟｰｼﾞ設定(&U)... (disabled)",
                                  "印刷ﾌﾟﾚﾋﾞｭｰ(&V) (disabled)", "印刷(&P)...", "-", "終了(&X)"}));
    EXPECT_EQ(Describe(menu("mnuEdit")),
              (std::vector<std::string>{"元に戻す(&U)", "-", "切り取り(&T) Ctrl+X",
                                        "ｺﾋﾟｰ(&C) Ctrl+C", "貼り付け(&P) Ctrl+V"}));
    EXPECT_EQ(Describe(menu("mnuSetting")),
              (std::vector<std::string>{"通信ポート", "-", "レース時間... Ctrl+T",
                                        "スタート待時間... Ctrl+W", "-", "読上げ設定", "-",
                                        "参加者名簿..."}));
    EXPECT_EQ(Describe(menu("mnuSCI_Port")),
              (std::vector<std::string>{"ポート１ [x]", "ポート２", "ポート３", "ポート４",
                                        "ポート５", "ポート６", "ポート７", "ポート８", "-",
                                        "ポートの割り当て...", "受信機シミュレーション"}));
    EXPECT_EQ(Describe(menu("mnuTTS")),
              (std::vector<std::string>{"なし [x]", "日本語 (disabled)", "英語 (disabled)"}));
    EXPECT_EQ(Describe(menu("mnuView")),
              (std::vector<std::string>{"ﾂｰﾙ ﾊﾞｰ(&T) [x]", "ｽﾃｰﾀｽ ﾊﾞｰ(&B) [x]", "-",
                                        "観客用ﾍﾟｰｼﾞを公開"}));
    EXPECT_EQ(Describe(menu("mnuWindow")),
              (std::vector<std::string>{"重ねて表示(&C)", "上下に並べて表示(&H)",
                                        "左右に並べて表示(&V)", "ｱｲｺﾝの整列(&A)"}));
    EXPECT_EQ(Describe(menu("mnuHelp")),
              (std::vector<std::string>{"目次(&C) (disabled)", "ﾄﾋﾟｯｸの検索(&S)... (disabled)", "-",
                                        "ﾊﾞｰｼﾞｮﾝ情報(&A)"}));
}

TEST_F(MenusTest, ViewItemsHideAndShowTheToolbarAndStatusBarWithTheirCheckMarks) {
    auto* toolbar = h.window->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    h.Choose("mnuViewToolbar");
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(h.Item("mnuViewToolbar")->isChecked());
    h.Choose("mnuViewToolbar");
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(h.Item("mnuViewToolbar")->isChecked());

    h.Choose("mnuViewStatusBar");
    EXPECT_FALSE(h.window->statusBar()->isVisible());
    h.Choose("mnuViewStatusBar");
    EXPECT_TRUE(h.window->statusBar()->isVisible());
}

TEST_F(MenusTest, StatusBarShowsItsTextTheDateAndTheTime) {
    const auto panel = [&](const char* name) {
        return h.window->findChild<QLabel*>(QString::fromUtf8(name))->text();
    };
    EXPECT_EQ(panel("sbStatusBarText").toStdString(), "ｽﾃｰﾀｽ");
    EXPECT_EQ(panel("sbStatusBarDate"),
              QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd")));
    EXPECT_TRUE(panel("sbStatusBarTime").contains(u':'));
}

TEST_F(MenusTest, UndoAndHelpItemsShowTheirFixedMessages) {
    h.Choose("mnuEditUndo");
    EXPECT_EQ(h.dialogs.messages,
              std::vector<std::string>{" 'mnuEditUndo_Click' のｺｰﾄﾞを追加します。"});
    h.window->mnuHelpContents_Click();
    h.window->mnuHelpSearchForHelpOn_Click();
    const std::string help =
        "ﾍﾙﾌﾟの目次を表示できません。 このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。";
    EXPECT_EQ(h.dialogs.informations, (std::vector<std::string>{help, help}));
    h.window->mnuFilePrintPreview_Click();
    EXPECT_EQ(h.dialogs.messages.back(), "現在工事中");
}

TEST_F(MenusTest, ReadOutItemsMoveTheCheckMarkAndNoneCanBeChosenFromJapanese) {
    h.window->SelectReadOut(1);
    EXPECT_EQ(h.State().TtsMode, 1);
    EXPECT_TRUE(h.Item("mnuTTSJ")->isChecked());
    EXPECT_FALSE(h.Item("mnuTTSN")->isChecked());
    h.Choose("mnuTTSN");
    EXPECT_EQ(h.State().TtsMode, 0);
    EXPECT_TRUE(h.Item("mnuTTSN")->isChecked());
    EXPECT_FALSE(h.Item("mnuTTSJ")->isChecked());
    EXPECT_FALSE(h.Item("mnuTTSE")->isChecked());
}

TEST_F(MenusTest, AboutBoxOpensModalOverTheMainWindowAndOkClosesIt) {
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawModal =
            qobject_cast<frmAbout*>(modal) != nullptr && modal->parentWidget() == h.window.get();
        if (modal != nullptr) modal->close();
    });
    h.Choose("mnuHelpAbout");
    EXPECT_TRUE(sawModal);
}

TEST_F(MenusTest, RaceWindowIsTheActiveChildAndCannotBeClosed) {
    QMdiSubWindow* child = h.window->MdiArea()->currentSubWindow();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle().toStdString(), "RaceResult");
    EXPECT_EQ(child->widget(), h.window->RaceWindow());
    EXPECT_FALSE(child->close());
    EXPECT_TRUE(child->isVisible());
    // The window commands keep it in the area.
    h.window->mnuWindowTileHorizontal_Click();
    h.window->mnuWindowCascade_Click();
    EXPECT_TRUE(child->isVisible());
}

TEST_F(MenusTest, SaveAndSaveAsWriteTheSameBytesUnderTheirOwnDialogTexts) {
    RunShortRace();
    h.dialogs.fileAnswers = {"a.rdt", "b.rdt"};
    h.Choose("mnuFileSave");
    h.Choose("mnuFileSaveAs");
    ASSERT_EQ(h.dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(h.dialogs.fileRequests[1].kind, "save");
    EXPECT_EQ(h.dialogs.fileRequests[1].title, "名前を付けて保存");
    EXPECT_EQ(h.dialogs.fileRequests[1].filter, "ﾚｰｽﾌｧｲﾙ (*.rdt)|*.rdt");
    EXPECT_FALSE(h.ReadFile("a.rdt").empty());
    EXPECT_EQ(h.ReadFile("a.rdt"), h.ReadFile("b.rdt"));
}

TEST_F(MenusTest, ResultFileThatCannotBeWrittenIsReportedAndTheOldFileStays) {
    RunShortRace();
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("folder.rdt")));
    h.dialogs.fileAnswers = {"folder.rdt", "missing-folder/x.rdt"};
    h.Choose("mnuFileSave");
    h.Choose("mnuFileSaveAs");
    EXPECT_EQ(
        h.dialogs.messages,
        (std::vector<std::string>{
            "レース結果ファイルを保存できませんでした。\r\nfolder.rdt\r\n(not a regular file)",
            "レース結果ファイルを保存できませんでした。\r\nmissing-folder/x.rdt\r\n(No such "
            "file or directory)"}));
    EXPECT_TRUE(QDir(QStringLiteral("folder.rdt")).exists());
}

TEST_F(MenusTest, OpeningAGoodFileDuringARaceResetsItAndShowsTheFile) {
    RunShortRace();
    h.window->RaceWindow()->RichTextBox1()->setPlainText(QStringLiteral("一行目\n二行目"));
    h.dialogs.fileAnswers = {"race.rdt"};
    h.Choose("mnuFileSave");
    const std::string standingsRow1 = h.Model().Standings.TextMatrix(1, 2);

    h.Press("レース開始");
    h.Press("ＩＤ３");
    h.window->RaceWindow()->RichTextBox1()->setPlainText(QStringLiteral("別のコメント"));
    h.dialogs.fileAnswers = {"race.rdt"};
    h.Choose("mnuFileOpen");  // the menu does not refuse during a race
    EXPECT_EQ(h.dialogs.fileRequests.back().title, "開く");
    EXPECT_EQ(h.State().RaceStarted, kFalse);
    EXPECT_EQ(h.State().LapCount[3], -1);
    EXPECT_EQ(h.State().MaxLap, 1);
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 2), standingsRow1);
    EXPECT_EQ(h.window->RaceWindow()->RichTextBox1()->toPlainText().toStdString(),
              "一行目\n二行目");
    EXPECT_EQ(h.Model().Comment, "一行目\r\n二行目");
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(MenusTest, OpeningADamagedFileShowsWhyAndLeavesTheRaceAsItWas) {
    h.WriteFile("bad.rdt", "\"comment\"\r\n5\r\n2\r\n\"only a few cells\"\r\n");
    h.Press("レース開始");
    h.Press("ＩＤ１");
    h.dialogs.fileAnswers = {"bad.rdt", "nowhere.rdt", ""};
    h.Choose("mnuFileOpen");
    h.Choose("mnuFileOpen");
    h.Choose("mnuFileOpen");  // cancelled
    ASSERT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_TRUE(h.dialogs.messages[0].starts_with("レース結果ファイルを読み込めません。"));
    EXPECT_TRUE(h.dialogs.messages[0].ends_with("\r\nbad.rdt"));
    EXPECT_TRUE(h.dialogs.messages[1].ends_with("\r\nnowhere.rdt"));
    EXPECT_EQ(h.State().RaceStarted, kTrue);
    EXPECT_EQ(h.State().LapCount[1], 0);
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 1), "01");
}

TEST_F(MenusTest, ExitClosesTheWindowWithoutAQuestionAndSavesTheSettings) {
    h.Press("レース開始");
    h.dialogs.inputAnswers = {};
    h.Choose("mnuFileExit");
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(1, 480, 10, 0));
}

// With a voice loaded, its item can be chosen and selects its mode as "なし"
// does; an item whose voice could not be loaded stays disabled.
TEST_F(MenusTest, ReadOutItemsOfLoadedVoicesCanBeChosen) {
    h.window->SetReadOutVoices(true, false);
    EXPECT_TRUE(h.Item("mnuTTSJ")->isEnabled());
    EXPECT_FALSE(h.Item("mnuTTSE")->isEnabled());
    h.Choose("mnuTTSJ");
    EXPECT_EQ(h.State().TtsMode, 1);
    EXPECT_FALSE(h.Item("mnuTTSN")->isChecked());
    EXPECT_TRUE(h.Item("mnuTTSJ")->isChecked());
    EXPECT_FALSE(h.Item("mnuTTSE")->isChecked());
    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini").substr(0, 13), "1\r\n480\r\n10\r\n1");
}

}  // namespace
}  // namespace palomind::testing
