#include "shell/print_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTimer>
#include <csignal>
#include <sstream>

#include "tests/documents/report/pdf_tools.h"
#include "tests/documents/report/sample_race.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/qt_warnings.h"
#include "tests/support/test_folders.h"

namespace palomind {
namespace {

using test::PdfPageCount;
using test::PdfText;
using test::SampleRace;

using RecordingSink = testing::RecordingMessageSink;

// Runs each test in an empty current directory of its own.
class PrintCommandsTest : public ::testing::Test {
  protected:
    QStringList FilesHere() const { return QDir::current().entryList(QDir::Files, QDir::Name); }

    testing::TemporaryCurrentDirectory directory_;
};

// Checks that each text occurs in `haystack`, each after the one before.
void ExpectInOrder(const QString& haystack, const QStringList& texts) {
    qsizetype from = 0;
    for (const QString& text : texts) {
        const qsizetype at = haystack.indexOf(text, from);
        ASSERT_GE(at, 0) << "missing in order: " << text.toStdString() << "\n"
                         << haystack.toStdString();
        from = at + text.size();
    }
}

TEST_F(PrintCommandsTest, ReportPdfHoldsEveryDocumentOnItsOwnPage) {
    SampleRace race(11, 3);
    race.model.Comment = "Wet track\r\nWind from the north";
    std::ostringstream err;
    ASSERT_TRUE(WriteReportPdf(race.state, race.model, "report.pdf", err)) << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(PdfPageCount(QStringLiteral("report.pdf")), 3);

    const QStringList pages = PdfText(QStringLiteral("report.pdf")).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    ExpectInOrder(pages[0], {"< Palomind Race Result >", "--Comment--", "Wet track",
                             "Wind from the north", "Race time:300sec", "順位", "Best", "Rider 1",
                             "00h05m01s00", "00m21s00", "Rider 11", "20"});
    EXPECT_FALSE(pages[0].contains(QStringLiteral("00m31s00")));  // the latest lap column
    // The comment's second line starts at the printable area's left edge,
    // 500 twips (25 points) left of its first.
    const auto words = test::PdfWordBoxes(QStringLiteral("report.pdf"));
    ASSERT_TRUE(words.count(QStringLiteral("Wet")) && words.count(QStringLiteral("Wind")));
    EXPECT_NEAR(words.at(QStringLiteral("Wet")).xMin - words.at(QStringLiteral("Wind")).xMin, 25.0,
                0.5);
    ExpectInOrder(pages[1], {"Palomind LapTime履歴 その１", "Lap", "ID11", "ID20", "Rider 1", "1",
                             "01m01s00", "01m10s00", "3", "03m01s00"});
    EXPECT_FALSE(pages[1].contains(QStringLiteral("ID21")));
    // pdftotext gives no space characters back, only gaps between words.
    ExpectInOrder(pages[2], {"Palomind LapTime履歴", "その２", "Lap", "ID21", "Rider 11", "1",
                             "01m11s00", "3", "03m11s00"});
}

TEST_F(PrintCommandsTest, StandingsTextsStayWithinTheirColumns) {
    SampleRace race(10, 1);
    race.model.Standings.SetTextMatrix(1, 2, "Nakamura");
    race.model.Standings.SetTextMatrix(2, 2, "山本 大輔");
    std::ostringstream err;
    ASSERT_TRUE(WriteReportPdf(race.state, race.model, "report.pdf", err)) << err.str();
    const auto words = test::PdfWordBoxes(QStringLiteral("report.pdf"));
    auto box = [&](const char* text) {
        const auto found = words.find(QString::fromUtf8(text));
        EXPECT_NE(found, words.end()) << text;
        return found == words.end() ? test::WordBox{} : found->second;
    };
    // The widest race time, and names as long as the column takes.
    EXPECT_LT(box("00h05m10s00").xMax, box("00m20s00").xMin);
    EXPECT_LT(box("Nakamura").xMax, box("Lap").xMin);
    EXPECT_LT(box("大輔").xMax, box("Lap").xMin);
}

TEST_F(PrintCommandsTest, ReportPdfIsRefusedWithoutLapsAndWritesNoFile) {
    SampleRace race(2, 0);
    std::ostringstream err;
    EXPECT_FALSE(WriteReportPdf(race.state, race.model, "report.pdf", err));
    EXPECT_EQ(err.str(), "ラップデータが無いので印刷できません。\n");
    EXPECT_TRUE(FilesHere().isEmpty());
}

TEST_F(PrintCommandsTest, ReportPdfThatCannotBeWrittenSaysSo) {
    const testing::ExpectedQtWarning painterFails(QStringLiteral("QPainter::begin"));
    SampleRace race(2, 1);
    std::ostringstream err;
    EXPECT_FALSE(WriteReportPdf(race.state, race.model, "no-such-folder/report.pdf", err));
    EXPECT_NE(err.str().find("PDFファイルに書き込めませんでした"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("レース結果"), std::string::npos) << err.str();
}

TEST_F(PrintCommandsTest, ReportPdfCutShortFailsAndLeavesTheOldFile) {
    SampleRace race(2, 1);
    testing::WriteBytes("report.pdf", "the old report");
    std::ostringstream err;
    // Files may grow to 8 KiB only, as on a disk that is all but full.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 8 << 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteReportPdf(race.state, race.model, "report.pdf", err);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(err.str().find("PDFファイルに書き込めませんでした"), std::string::npos) << err.str();
    EXPECT_EQ(testing::ReadBytes("report.pdf"), "the old report");
    EXPECT_EQ(FilesHere(), QStringList{QStringLiteral("report.pdf")});

    ASSERT_TRUE(WriteReportPdf(race.state, race.model, "report.pdf", err)) << err.str();
    EXPECT_NE(testing::ReadBytes("report.pdf").rfind("%%EOF"), std::string::npos);
    EXPECT_EQ(FilesHere(), QStringList{QStringLiteral("report.pdf")});
}

TEST_F(PrintCommandsTest, MenuPrintShowsThePrintDialogAndCancelPrintsNothing) {
    SampleRace race(2, 1);
    RecordingSink sink;
    QString title;
    bool pageRangeOffered = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->windowTitle();
        pageRangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        dialog->reject();
    });
    RunMenuPrint(nullptr, race.state, race.model, sink);
    EXPECT_EQ(title, QStringLiteral("印刷"));
    EXPECT_FALSE(pageRangeOffered);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(FilesHere().isEmpty());
}

class ToolbarPrintWithoutPrinterTest : public PrintCommandsTest {
  protected:
    void SetUp() override {
        PrintCommandsTest::SetUp();
        // On a machine with a printer the toolbar would really print.
        if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    }
};

TEST_F(ToolbarPrintWithoutPrinterTest, ReportGoesToAPdfFileAndTheOperatorIsToldWhere) {
    SampleRace race(3, 2);
    RecordingSink sink;
    RunToolbarPrint(nullptr, race.state, race.model, sink);

    const QStringList files = FilesHere();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Palomind-report-\\d{8}-\\d{6}\\.pdf$"))
                    .match(files[0])
                    .hasMatch())
        << files[0].toStdString();
    const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath(files[0]));
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{
                  "プリンターが見つからないため、レポートをPDFファイルに保存しました: " +
                  path.toStdString()}));
    EXPECT_EQ(PdfPageCount(files[0]), 2);
}

TEST_F(ToolbarPrintWithoutPrinterTest, ReportsPrintedInTheSameSecondKeepSeparateFiles) {
    SampleRace race(3, 2);
    RecordingSink sink;
    for (int i = 0; i < 3; ++i) RunToolbarPrint(nullptr, race.state, race.model, sink);
    EXPECT_EQ(FilesHere().size(), 3);
    EXPECT_EQ(sink.messages.size(), 3u);
}

TEST_F(ToolbarPrintWithoutPrinterTest, RefusalCreatesNoFile) {
    SampleRace race(3, 0);
    RecordingSink sink;
    RunToolbarPrint(nullptr, race.state, race.model, sink);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"ラップデータが無いので印刷できません。"}));
    EXPECT_TRUE(FilesHere().isEmpty());
}

}  // namespace
}  // namespace palomind
