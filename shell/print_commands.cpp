#include "shell/print_commands.h"

#include <QAbstractPrintDialog>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <string_view>
#include <vector>

#include "app/user_folder.h"
#include "documents/report_layout.h"
#include "platform/file_store.h"
#include "platform/qt_printer.h"
#include "shell/japanese_font.h"

namespace palomind {

namespace {

// Keeps the report's messages so that a failed file can be told in one box.
class CollectingSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

struct PrintRun {
    ReportOutcome outcome;
    bool closed = false;
    std::string failure;  // why a PDF file was not written, when it is known
};

// The report's columns are laid out for a Japanese printer font, whose
// half-width letters and digits are half an em wide. The usual Latin UI fonts
// here are wider: race times then run into the next column. So the report
// prints in the race window's fixed-pitch Gothic at a common printer size.
QFont ReportFont() {
    return JapaneseFont(JapaneseFace::Gothic, 9.0);
}

// A file output gets all documents in one file: as separate print jobs each
// would overwrite the one before.
PrintRun PrintOn(QPrinter& printer, const RaceState& state, const RaceWindowModel& model,
                 const std::vector<std::string>& audit, MessageSink& messages) {
    const auto documentEnd = printer.outputFileName().isEmpty()
                                 ? QtPrinter::DocumentEnd::EndsPrintJob
                                 : QtPrinter::DocumentEnd::StartsNewPage;
    QtPrinter output(printer, documentEnd, ReportFont());
    PrintRun run;
    run.outcome = PrintRaceReport(state, model, output, messages, audit);
    run.closed = output.Finish();
    return run;
}

// PDF files Palomind writes itself are A4, the paper its operators use.
void UsePdfFile(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

std::string FileWriteFailure(const QString& path, const std::string& why = {}) {
    return "PDFファイルに書き込めませんでした: " + QDir::toNativeSeparators(path).toStdString() +
           (why.empty() ? why : " (" + why + ")");
}

// A PDF file that ends with its end-of-file marker: the writer does not
// always notice a short write.
bool IsWholePdf(const QByteArray& bytes) {
    std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    while (!text.empty() && std::string_view(" \r\n\t").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    return text.ends_with("%%EOF");
}

// Prints into a temporary file beside `path` (in the system's temporary
// folder where that folder takes no new file), then puts the file in place
// as every save does, once it is whole: a failure or a kill part-way leaves
// the old file as it was.
PrintRun PrintPdfFile(QPrinter& printer, const QString& path, const RaceState& state,
                      const RaceWindowModel& model, const std::vector<std::string>& audit,
                      MessageSink& messages) {
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".tmpXXXXXX"));
    // A missing folder stays the painter's failure, as the report says.
    if (!temporary.open() && target.absoluteDir().exists()) {
        temporary.setFileTemplate(QDir::tempPath() + QStringLiteral("/palomind-report-XXXXXX.pdf"));
        temporary.open();
    }
    const QString output = temporary.isOpen() ? temporary.fileName() : path;
    printer.setOutputFileName(output);
    temporary.close();
    PrintRun run = PrintOn(printer, state, model, audit, messages);
    printer.setOutputFileName(path);
    if (run.outcome.refused || !run.outcome.Complete() || !run.closed) return run;
    QFile written(output);
    const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    if (printer.printerState() == QPrinter::Error || !IsWholePdf(bytes)) {
        run.closed = false;
        run.failure = "the PDF writer could not write the whole file";
        return run;
    }
    if (output == path) return run;  // nowhere to print it first
    DiskFileStore files(kKeepFolder);
    if (!files.WriteAtomically(QFile::encodeName(path).toStdString(), bytes.toStdString())) {
        run.closed = false;
        run.failure = files.LastFailure();
    }
    return run;
}

// The current directory is where Palomind keeps all its files. A second
// report within the same second gets a numbered name instead of replacing
// the first.
QString FreshReportPdfPath() {
    const QDir dir = QDir::current();
    const QString stem = QStringLiteral("Palomind-report-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.absoluteFilePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.absoluteFilePath(QStringLiteral("%1-%2.pdf").arg(stem).arg(n));
    return path;
}

// Without any printer the report is kept as a PDF file instead.
void PrintToFallbackPdf(const RaceState& state, const RaceWindowModel& model,
                        const std::vector<std::string>& audit, MessageSink& messages) {
    const QString path = FreshReportPdfPath();
    QPrinter printer(QPrinter::HighResolution);
    UsePdfFile(printer, path);
    CollectingSink collected;
    const PrintRun run = PrintPdfFile(printer, path, state, model, audit, collected);
    if (run.outcome.refused) {
        for (const std::string& message : collected.messages) messages.ShowMessage(message);
        return;
    }
    if (run.outcome.Complete() && run.closed) {
        messages.ShowMessage("プリンターが見つからないため、レポートをPDFファイルに保存しました: " +
                             QDir::toNativeSeparators(path).toStdString());
        return;
    }
    std::string text = FileWriteFailure(path, run.failure);
    for (const std::string& message : collected.messages) text += "\n" + message;
    messages.ShowMessage(text);
}

// The default printer, or any printer when none is marked as the default.
QPrinterInfo PrinterToUse() {
    const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
    if (!preferred.isNull()) return preferred;
    const QList<QPrinterInfo> available = QPrinterInfo::availablePrinters();
    return available.isEmpty() ? QPrinterInfo() : available.first();
}

}  // namespace

void RunMenuPrint(QWidget* parent, const RaceState& state, const RaceWindowModel& model,
                  MessageSink& messages, const std::vector<std::string>& audit) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString file = printer.outputFileName();
    const PrintRun run = file.isEmpty()
                             ? PrintOn(printer, state, model, audit, messages)
                             : PrintPdfFile(printer, file, state, model, audit, messages);
    if (run.outcome.Complete() && !run.closed)
        messages.ShowMessage(FileWriteFailure(file, run.failure));
}

void RunToolbarPrint([[maybe_unused]] QWidget* parent, const RaceState& state,
                     const RaceWindowModel& model, MessageSink& messages,
                     const std::vector<std::string>& audit) {
    const QPrinterInfo target = PrinterToUse();
    if (target.isNull()) {
        PrintToFallbackPdf(state, model, audit, messages);
        return;
    }
    QPrinter printer(target, QPrinter::HighResolution);
    PrintOn(printer, state, model, audit, messages);
}

bool WriteReportPdf(const RaceState& state, const RaceWindowModel& model,
                    const std::string& pdfPath, std::ostream& err,
                    const std::vector<std::string>& audit) {
    // The printer needs a GUI application's fonts; the program makes a
    // windowless one for --print.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        err << "PDFファイルを作成できません: 文字の描画に必要なGUIアプリケーションがありません\n";
        return false;
    }
    const QString path = QFile::decodeName(pdfPath.c_str());
    QPrinter printer(QPrinter::HighResolution);
    UsePdfFile(printer, path);
    StreamMessageSink messages(err);
    const PrintRun run = PrintPdfFile(printer, path, state, model, audit, messages);
    if (run.outcome.refused) return false;
    if (run.outcome.Complete() && run.closed) return true;
    err << FileWriteFailure(path, run.failure) << '\n';
    return false;
}

}  // namespace palomind
