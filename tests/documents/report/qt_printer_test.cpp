#include "platform/qt_printer.h"

#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

#include "tests/documents/report/pdf_tools.h"
#include "tests/support/qt_warnings.h"

namespace palomind {
namespace {

using test::PdfPageCount;
using test::PdfWordBoxes;

class QtPrinterTest : public ::testing::Test {
  protected:
    QString PdfPrinter(QPrinter& printer, const QString& name) {
        const QString path = dir_.filePath(name);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(QtPrinterTest, TwipPositionsLandAtTheirPlaceFromThePrintableAreaInTheFontsTrueSize) {
    QPrinter printer(QPrinter::HighResolution);
    const QString path = PdfPrinter(printer, QStringLiteral("geometry.pdf"));
    const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
    {
        QtPrinter output(printer, QtPrinter::DocumentEnd::StartsNewPage);
        output.SetCurrentX(500);
        output.SetCurrentY(200);
        output.PrintLine("ALPHA");
        output.SetCurrentX(500);
        output.SetCurrentY(2000);
        output.PrintLine("BRAVO");
        output.SetCurrentX(2900);
        output.SetCurrentY(2000);
        output.PrintLine("CHARLIE");
        ASSERT_TRUE(output.EndDoc());
        ASSERT_TRUE(output.Finish());
    }
    const auto words = PdfWordBoxes(path);
    ASSERT_EQ(words.count(QStringLiteral("ALPHA")), 1u);
    const auto alpha = words.at(QStringLiteral("ALPHA"));
    const auto bravo = words.at(QStringLiteral("BRAVO"));
    const auto charlie = words.at(QStringLiteral("CHARLIE"));
    // 20 twips make a point.
    EXPECT_NEAR(alpha.xMin, printable.left() + 25.0, 1.0);
    EXPECT_NEAR(bravo.xMin, alpha.xMin, 0.1);
    EXPECT_NEAR(bravo.yMin - alpha.yMin, 90.0, 0.1);
    EXPECT_NEAR(charlie.xMin - bravo.xMin, 120.0, 0.1);
    EXPECT_NEAR(charlie.yMin, bravo.yMin, 0.1);
    // A readable text size, not shrunk by a scaled painter.
    EXPECT_GT(alpha.yMax - alpha.yMin, 6.0);
    EXPECT_LT(alpha.yMax - alpha.yMin, 24.0);
}

TEST_F(QtPrinterTest, ReportsTheFontsLineHeightAndThePrintableHeightInTwips) {
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, QStringLiteral("sizes.pdf"));
    const QtPrinter output(printer, QtPrinter::DocumentEnd::StartsNewPage);
    EXPECT_GT(output.LineHeight(), 150);
    EXPECT_LT(output.LineHeight(), 480);
    EXPECT_NEAR(output.PageHeight(),
                printer.pageLayout().paintRect(QPageLayout::Point).height() * 20, 2);
    // A4 with its margins is well over ten inches high.
    EXPECT_GT(output.PageHeight(), 14400);
}

TEST_F(QtPrinterTest, IntoOneFileEachDocumentStartsAPageWithNoBlankPageAtTheEnd) {
    QPrinter printer(QPrinter::HighResolution);
    const QString path = PdfPrinter(printer, QStringLiteral("combined.pdf"));
    QtPrinter output(printer, QtPrinter::DocumentEnd::StartsNewPage);
    for (const char* title : {"first", "second", "third"}) {
        output.SetCurrentX(500);
        output.PrintLine(title);
        EXPECT_TRUE(output.EndDoc());
    }
    ASSERT_TRUE(output.Finish());
    EXPECT_EQ(PdfPageCount(path), 3);
}

TEST_F(QtPrinterTest, AsPrintJobsEachDocumentEndClosesItsOutput) {
    QPrinter printer(QPrinter::HighResolution);
    const QString path = PdfPrinter(printer, QStringLiteral("job.pdf"));
    QtPrinter output(printer, QtPrinter::DocumentEnd::EndsPrintJob);
    output.PrintLine("one page");
    EXPECT_TRUE(output.NewPage());
    output.PrintLine("two pages");
    ASSERT_TRUE(output.EndDoc());
    // Complete and readable before anything else happens.
    EXPECT_EQ(PdfPageCount(path), 2);
}

TEST_F(QtPrinterTest, AnOutputThatCannotOpenFailsTheDocument) {
    const testing::ExpectedQtWarning painterFails(QStringLiteral("QPainter::begin"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath(QStringLiteral("missing-folder/report.pdf")));
    QtPrinter output(printer, QtPrinter::DocumentEnd::EndsPrintJob);
    output.PrintLine("lost");
    output.DrawLine(0, 0, 100, 100);
    EXPECT_FALSE(output.NewPage());
    EXPECT_FALSE(output.EndDoc());
}

}  // namespace
}  // namespace palomind
