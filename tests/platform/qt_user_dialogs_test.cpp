#include "platform/qt_user_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace palomind {
namespace {

// Answers the next modal dialog once it is up (the call that opens it does
// not return until it is closed).
template <typename Dialog>
void AnswerNextDialog(std::function<void(Dialog*)> answer) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            answer(dialog);
        }
    });
    poll->start(10);
}

TEST(QtFileDialogFilter, DescriptionEndingInItsPatternIsUsedAsItIs) {
    EXPECT_EQ(QtFileDialogFilter("ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)|*.rdt"),
              QStringLiteral("ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)"));
    EXPECT_EQ(QtFileDialogFilter("ﾚｰｽﾌｧｲﾙ (*.rdt)|*.rdt"), QStringLiteral("ﾚｰｽﾌｧｲﾙ (*.rdt)"));
}

TEST(QtFileDialogFilter, PatternIsAddedInParenthesesAndPairsAreJoined) {
    EXPECT_EQ(QtFileDialogFilter("Results|*.rdt;*.txt|All|*.*"),
              QStringLiteral("Results (*.rdt *.txt);;All (*.*)"));
    EXPECT_EQ(QtFileDialogFilter(""), QString());
}

class QtUserDialogsTest : public ::testing::Test {
  protected:
    QWidget window_;
    QtUserDialogs dialogs_{&window_};
};

TEST_F(QtUserDialogsTest, MessageIsTitledPalomindWithOneOkButtonAndNoIcon) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    int buttonCount = 0;
    AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttonCount = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    dialogs_.ShowMessage("通信ポートが開けません。(COM2)\r\n他のポートをお試しください");
    EXPECT_EQ(title, QStringLiteral("Palomind"));
    EXPECT_EQ(text, QStringLiteral("通信ポートが開けません。(COM2)\n他のポートをお試しください"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttonCount, 1);
}

TEST_F(QtUserDialogsTest, InputBoxOffersTheDefaultAndGivesTheEnteredText) {
    QString title, shown;
    AnswerNextDialog<QInputDialog>([&](QInputDialog* dialog) {
        title = dialog->windowTitle();
        shown = dialog->textValue();
        dialog->setTextValue(QStringLiteral("12.5"));
        dialog->accept();
    });
    EXPECT_EQ(
        dialogs_.InputBox("レース時間を秒単位で\r\n入力してください。", "RaceTime設定", "480"),
        "12.5");
    EXPECT_EQ(title, QStringLiteral("RaceTime設定"));
    EXPECT_EQ(shown, QStringLiteral("480"));
}

TEST_F(QtUserDialogsTest, CancelledInputBoxGivesNothing) {
    AnswerNextDialog<QInputDialog>([](QInputDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(dialogs_.InputBox("prompt", "WaitTime設定", "10"), std::nullopt);
}

TEST_F(QtUserDialogsTest, LastChosenFileIsOfferedAgainAndCancelGivesNothing) {
    QTemporaryDir directory;
    const QString chosen = directory.filePath(QStringLiteral("race1.rdt"));
    QString filter;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        filter = dialog->selectedNameFilter();
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(dialogs_.SaveFileName("上書き保存", "ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)|*.rdt", {}),
              chosen.toStdString());
    EXPECT_EQ(filter, QStringLiteral("ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)"));

    QStringList offered;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        offered = dialog->selectedFiles();
        dialog->reject();
    });
    EXPECT_EQ(dialogs_.OpenFileName("開く", "ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)|*.rdt"), "");
    EXPECT_EQ(offered, QStringList{chosen});
}

// The exports' dialog: in the working folder, the race's name typed in,
// whose extension follows the type chosen.
TEST_F(QtUserDialogsTest, OfferedNameOpensInTheWorkingFolderAndFollowsTheType) {
    QDir home;
    QString folder, offered, afterHtml;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        folder = dialog->directory().absolutePath();
        offered = dialog->selectedFiles().value(0);
        emit dialog->filterSelected(QStringLiteral("HTML (*.html *.htm)"));
        afterHtml = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    EXPECT_EQ(dialogs_.SaveFileName("ｴｸｽﾎﾟｰﾄ", "CSV (*.csv)|*.csv|HTML (*.html)|*.html;*.htm",
                                    "20261209-114551-1.csv"),
              "");
    EXPECT_EQ(folder, home.absolutePath());
    EXPECT_EQ(offered, home.absoluteFilePath(QStringLiteral("20261209-114551-1.csv")));
    EXPECT_EQ(afterHtml, home.absoluteFilePath(QStringLiteral("20261209-114551-1.html")));
}

}  // namespace
}  // namespace palomind
