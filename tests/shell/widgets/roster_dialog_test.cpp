#include "shell/roster_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "documents/roster_file.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/unwritten_journal.h"
#include "widget_test.h"

namespace palomind {
namespace {

using testing::MemoryFileStore;
using RecordingSink = testing::RecordingMessageSink;

// A roster file naming ID n "Driver n".
std::string RosterFile() {
    std::string bytes;
    for (int id = 1; id <= 64; ++id) bytes += "\"Driver " + std::to_string(id) + "\"\r\n";
    return bytes;
}

class RosterDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { files.files["idname.ind"] = RosterFile(); }
    void TearDown() override { dialog.close(); }
    void Open() {
        dialog.ShowDialog();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    QLineEdit* Editor() { return dialog.findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QTableWidget* Grid() { return dialog.findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1")); }
    QPushButton* OkButton() { return dialog.findChild<QPushButton*>(QStringLiteral("OKButton")); }
    QString IdLabel() { return dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(); }
    void Press(Qt::Key key, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::keyClick(Editor(), key);
    }
    // The current cell, the label and the edit box all on the name of `id`.
    void ExpectEditing(int id) {
        const int row = (id - 1) % 16 + 1;
        const int col = (id - 1) / 16 * 2 + 1;
        EXPECT_EQ(Grid()->currentRow(), row);
        EXPECT_EQ(Grid()->currentColumn(), col);
        EXPECT_EQ(IdLabel(), QStringLiteral("ID%1ドライバ").arg(id, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(Editor()->text(), Grid()->item(row, col)->text());
    }

    // The dialog as the main window makes it: over the application's roster,
    // which it changes through the application alone.
    SetTickClock clock;
    testing::SilentSound sound;
    testing::FakeSerialPort serial;
    testing::MemorySettingsStore settings;
    testing::ScriptedUserDialogs dialogs;
    MemoryFileStore files;
    testing::UnwrittenJournal journal;
    Application app{{clock, sound, serial, settings, dialogs, files, journal}};
    const RosterTable& names = app.Roster();
    RecordingSink sink;
    dlgIdName dialog{names, [this](int id, std::string name) { app.SetName(id, std::move(name)); },
                     files, sink};
};

TEST_F(RosterDialogTest, OpensOnIdOneWithTheFilesNamesInFourColumnPairs) {
    Open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ドライバ登録"));
    QTableWidget* grid = Grid();
    ASSERT_EQ(grid->rowCount(), 17);
    ASSERT_EQ(grid->columnCount(), 8);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("ID"));
    EXPECT_EQ(grid->item(0, 7)->text(), QStringLiteral("Name"));
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("01"));
    EXPECT_EQ(grid->item(16, 6)->text(), QStringLiteral("64"));
    EXPECT_EQ(grid->item(5, 3)->text(), QStringLiteral("Driver 21"));
    EXPECT_EQ(grid->item(16, 7)->text(), QStringLiteral("Driver 64"));
    ExpectEditing(1);
    EXPECT_EQ(Editor()->text(), QStringLiteral("Driver 1"));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(RosterDialogTest, OpeningWithoutARosterFileTellsSoAndShowsEveryIdUnregistered) {
    files.files.clear();
    Open();
    EXPECT_EQ(sink.messages, std::vector<std::string>{"参加者名簿を新規に作成します。"});
    for (int row = 1; row <= 16; ++row)
        for (int col = 1; col < 8; col += 2)
            EXPECT_EQ(Grid()->item(row, col)->text(), QStringLiteral("未登録"));
}

TEST_F(RosterDialogTest, EnterAdvancesToTheNextIdAcrossColumnPairsAndFrom64BackTo1) {
    Open();
    Press(Qt::Key_Enter, 15);
    ExpectEditing(16);
    Press(Qt::Key_Return);
    ExpectEditing(17);
    EXPECT_EQ(IdLabel(), QStringLiteral("ID17ドライバ"));
    Press(Qt::Key_Return, 64 - 17);
    ExpectEditing(64);
    Press(Qt::Key_Return);
    ExpectEditing(1);
    EXPECT_FALSE(dialog.isHidden());  // Enter never works the OK button
    EXPECT_TRUE(files.files["idname.ind"] == RosterFile());
}

TEST_F(RosterDialogTest, ArrowsStepWithinTheGridAndStopAtItsEdges) {
    Open();
    Press(Qt::Key_Up);
    ExpectEditing(1);
    Press(Qt::Key_Left);
    ExpectEditing(1);
    Press(Qt::Key_Down, 20);
    ExpectEditing(16);
    Press(Qt::Key_Right, 2);
    ExpectEditing(48);
    Press(Qt::Key_Right, 2);
    ExpectEditing(64);
    Press(Qt::Key_Up);
    ExpectEditing(63);
    Press(Qt::Key_Left);
    ExpectEditing(47);
}

TEST_F(RosterDialogTest, TypingChangesTheCellAndTheRosterAtEveryKeystroke) {
    Open();
    Press(Qt::Key_Down);
    QTest::keyClicks(Editor(), "K");
    EXPECT_EQ(names[2], "K");
    EXPECT_EQ(Grid()->item(2, 1)->text(), QStringLiteral("K"));
    testing::TypeText(Editor(), QStringLiteral("ei太"));
    EXPECT_EQ(names[2], "Kei太");
    EXPECT_EQ(Grid()->item(2, 1)->text(), QStringLiteral("Kei太"));
    EXPECT_EQ(names[1], "Driver 1");
}

TEST_F(RosterDialogTest, ClosingWithoutOkKeepsTypedNamesInMemoryUntilTheNextOpening) {
    Open();
    QTest::keyClicks(Editor(), "Typed");
    dialog.close();
    EXPECT_EQ(names[1], "Typed");
    Open();
    EXPECT_EQ(names[1], "Driver 1");
    EXPECT_EQ(Grid()->item(1, 1)->text(), QStringLiteral("Driver 1"));
    EXPECT_EQ(Editor()->text(), QStringLiteral("Driver 1"));
}

TEST_F(RosterDialogTest, EscapeDoesNothingWhileTheCloseButtonStillClosesWithoutSaving) {
    Open();
    QTest::keyClicks(Editor(), "Typed");
    Press(Qt::Key_Escape);
    QTest::keyClick(OkButton(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Editor()->text(), QStringLiteral("Typed"));
    EXPECT_EQ(names[1], "Typed");
    dialog.close();
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_TRUE(files.files["idname.ind"] == RosterFile());
}

TEST_F(RosterDialogTest, TabAndShiftTabMoveBetweenTheEditBoxAndOk) {
    Open();
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), OkButton());
    QTest::keyClick(OkButton(), Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), Editor());
    QTest::keyClick(Editor(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(dialog.focusWidget(), OkButton());
    QTest::keyClick(OkButton(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(dialog.focusWidget(), Editor());
    ExpectEditing(2);
    // OK is no default button: Enter goes on to the next ID.
    Press(Qt::Key_Return);
    ExpectEditing(3);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(RosterDialogTest, OkWritesTheRosterFileAndCloses) {
    Open();
    testing::TypeText(Editor(), QStringLiteral("赤井"));
    Press(Qt::Key_Return);
    Press(Qt::Key_Backspace);  // the name is selected: this empties it
    QTest::mouseClick(OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isHidden());

    RosterTable reread;
    Load_IdName(reread, files, sink);
    EXPECT_EQ(reread[1], "赤井");
    EXPECT_EQ(reread[2], "");
    EXPECT_EQ(reread[64], "Driver 64");
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(RosterDialogTest, ClickOnAnIdCellPutsTheEditorOnTheNameBesideIt) {
    Open();
    QTableWidget* grid = Grid();
    const QRect idCell = grid->visualItemRect(grid->item(3, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, idCell.center());
    ExpectEditing(19);
    const QRect header = grid->visualItemRect(grid->item(0, 5));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, header.center());
    ExpectEditing(19);
    const QRect nameCell = grid->visualItemRect(grid->item(16, 7));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, nameCell.center());
    ExpectEditing(64);
}

TEST_F(RosterDialogTest, ComingBackToTheOpenDialogGoesOnWithTheNameBeingTyped) {
    Open();
    QTest::keyClicks(Editor(), "Half");
    dialog.ShowDialog();
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog, &activation);
    QTest::keyClicks(Editor(), " typed");
    EXPECT_EQ(Editor()->text(), QStringLiteral("Half typed"));
    EXPECT_EQ(names[1], "Half typed");
    ExpectEditing(1);
}

}  // namespace
}  // namespace palomind
