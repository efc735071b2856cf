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
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// One line per item shown, indented two spaces for each menu it sits in:
// caption, shortcut, "[x]" or "[ ]" where it can be checked, "(disabled)";
// "-" for a separator. A submenu's items follow its item.
void Describe(const QList<QAction*>& items, int depth, std::vector<std::string>& lines) {
    for (const QAction* item : items) {
        if (!item->isVisible()) continue;
        std::string line(static_cast<std::size_t>(2 * depth), ' ');
        if (item->isSeparator()) {
            lines.push_back(line + "-");
            continue;
        }
        line += item->text().toStdString();
        if (!item->shortcut().isEmpty()) line += " " + item->shortcut().toString().toStdString();
        if (item->isCheckable()) line += item->isChecked() ? " [x]" : " [ ]";
        if (!item->isEnabled()) line += " (disabled)";
        lines.push_back(line);
        if (item->menu() != nullptr) Describe(item->menu()->actions(), depth + 1, lines);
    }
}

// The golden listing's lines, without its comment lines ("#").
std::vector<std::string> GoldenLines(const std::string& path, std::string& comments) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with('#'))
            comments += line + "\n";
        else
            lines.push_back(line);
    }
    return lines;
}

// The menu bar as the program starts is the reviewed listing in
// tests/shell/golden/menus.txt. On a mismatch the bar as it is goes to a
// .actual file in the build folder: read it, and copy it over the listing
// where the change is meant.
TEST_F(MenusTest, MenuBarMatchesTheGoldenListing) {
    std::vector<std::string> lines;
    Describe(h.window->menuBar()->actions(), 0, lines);
    std::string comments;
    const std::vector<std::string> golden = GoldenLines(PALOMIND_MENUS_GOLDEN, comments);
    ASSERT_FALSE(golden.empty()) << "cannot read " << PALOMIND_MENUS_GOLDEN;
    if (lines == golden) return;
    const std::filesystem::path actual = PALOMIND_MENUS_ACTUAL;
    std::filesystem::create_directories(actual.parent_path());
    std::ofstream out(actual);
    out << comments;
    for (const std::string& line : lines) out << line << '\n';
    ADD_FAILURE() << "the menu bar differs from " << PALOMIND_MENUS_GOLDEN
                  << "; as it is now: " << actual.string();
    EXPECT_EQ(lines, golden);
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

TEST_F(MenusTest, LapCallPartsAreJournaledWithTheRaceAndKeptPerUser) {
    EXPECT_EQ(h.State().CallParts, kCallWho | kCallLapTime);
    h.Choose("mnuTTSPartLaps");
    h.Choose("mnuTTSPartWho");
    EXPECT_EQ(h.State().CallParts, kCallLaps | kCallLapTime);
    EXPECT_TRUE(h.Item("mnuTTSPartLaps")->isChecked());
    EXPECT_FALSE(h.Item("mnuTTSPartWho")->isChecked());
    EXPECT_EQ(h.settings.values.at({"Settings", "ReadOutParts"}), "6");
    const std::string journal = h.ReadFile(h.journal.Path().string());
    EXPECT_NE(journal.find(" callparts 5\n"), std::string::npos) << "at start-up";
    EXPECT_NE(journal.find(" callparts 7\n"), std::string::npos);
    EXPECT_NE(journal.find(" callparts 6\n"), std::string::npos);
}

TEST_F(MenusTest, OnePaceIsCheckedAndTheChosenOneIsKeptPerUser) {
    const auto checks = [this] {
        return std::vector<bool>{h.Item("mnuTTSPaceStandard")->isChecked(),
                                 h.Item("mnuTTSPaceFast")->isChecked(),
                                 h.Item("mnuTTSPaceFastest")->isChecked()};
    };
    EXPECT_EQ(checks(), (std::vector<bool>{false, true, false}));
    h.Choose("mnuTTSPaceFastest");
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(h.settings.values.at({"Settings", "ReadOutPace"}), "350");
    h.Choose("mnuTTSPaceStandard");
    EXPECT_EQ(h.settings.values.at({"Settings", "ReadOutPace"}), "190");
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
