#pragma once
#include <QFont>
#include <memory>

#include "platform/printer.h"

class QPainter;
class QPrinter;

namespace palomind {

// The report printer over a configured QPrinter. Twips become device units by
// the printer's resolution; the painter itself is never scaled, so text keeps
// the printer's font at its true size. Positions count from the printable
// area's top left.
//
// Nothing is opened until something is drawn: a report that is refused
// starts no print job and creates no file.
class QtPrinter final : public Printer {
  public:
    enum class DocumentEnd {
        // Each print document becomes a print job of its own (real printers).
        EndsPrintJob,
        // All documents go into one output, each starting on a new page; the
        // output closes at Finish. For files: each print job would replace the
        // file the previous one wrote.
        StartsNewPage,
    };

    // `font` is what every text prints in; by default the application's font,
    // the nearest thing to a printer's default font that Qt has.
    QtPrinter(QPrinter& printer, DocumentEnd documentEnd, const QFont& font = QFont());
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    void SetCurrentX(int twips) override { x_ = twips; }
    void SetCurrentY(int twips) override { y_ = twips; }
    int CurrentY() const override { return y_; }
    void PrintLine(std::string_view text) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    void DrawRectangle(int x1, int y1, int x2, int y2) override;
    int LineHeight() const override { return lineHeight_; }
    int PageHeight() const override { return pageHeight_; }
    bool NewPage() override;
    bool EndDoc() override;

    // Closes whatever output is still open. False when anything failed since
    // the last document that EndDoc reported as sent.
    bool Finish();

  private:
    // Opens the output on first use and makes a pending page break; false
    // once the printer has failed.
    bool ReadyToDraw();
    double ToDevice(int twips) const;
    bool ClosePainter();

    QPrinter& printer_;
    DocumentEnd documentEnd_;
    std::unique_ptr<QPainter> painter_;
    QFont font_;
    int resolution_;
    int lineHeight_;
    int pageHeight_;
    int x_ = 0;
    int y_ = 0;
    bool pageBreakPending_ = false;
    bool failed_ = false;
};

}  // namespace palomind
