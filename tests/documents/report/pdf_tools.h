#pragma once
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <map>

namespace palomind::test {

// Runs one of poppler's command-line tools and returns what it printed.
inline QString RunPdfTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString& pdf) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto match = pages.match(RunPdfTool(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The page text in reading order, pages separated by form feeds.
inline QString PdfText(const QString& pdf) {
    return RunPdfTool(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

struct WordBox {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Each word's box on one page (1-based), in points from the page's top
// left, by its text.
inline std::map<QString, WordBox> PdfWordBoxes(const QString& pdf, int page = 1) {
    const QString number = QString::number(page);
    const QString html = RunPdfTool(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-bbox"), QStringLiteral("-f"), number,
                                     QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::map<QString, WordBox> boxes;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        boxes[m.captured(5)] = {m.captured(1).toDouble(), m.captured(2).toDouble(),
                                m.captured(3).toDouble(), m.captured(4).toDouble()};
    }
    return boxes;
}

}  // namespace palomind::test
