#include "platform/qt_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <cmath>

#include "platform/twips.h"

namespace palomind {

namespace {

// Rules are drawn half a point wide: a one-device-pixel line nearly vanishes
// on a 1200 dpi printer.
constexpr double kRuleWidthInches = 0.5 / 72.0;

int DeviceToTwips(double device, int resolution) {
    return static_cast<int>(std::lround(device * kTwipsPerInch / resolution));
}

}  // namespace

QtPrinter::QtPrinter(QPrinter& printer, DocumentEnd documentEnd, const QFont& font)
    : printer_(printer),
      documentEnd_(documentEnd),
      font_(font, &printer),
      resolution_(printer.resolution() > 0 ? printer.resolution() : 72),
      lineHeight_(DeviceToTwips(QFontMetricsF(font_, &printer).lineSpacing(), resolution_)),
      pageHeight_(
          DeviceToTwips(printer.pageLayout().paintRectPixels(resolution_).height(), resolution_)) {}

QtPrinter::~QtPrinter() {
    Finish();
}

double QtPrinter::ToDevice(int twips) const {
    return static_cast<double>(twips) * resolution_ / kTwipsPerInch;
}

bool QtPrinter::ReadyToDraw() {
    if (failed_) return false;
    if (!painter_) {
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(&printer_)) {
            failed_ = true;
            return false;
        }
        painter->setFont(font_);
        QPen pen(Qt::black);
        pen.setWidthF(kRuleWidthInches * resolution_);
        painter->setPen(pen);
        painter_ = std::move(painter);
        pageBreakPending_ = false;
        return true;
    }
    if (pageBreakPending_) {
        pageBreakPending_ = false;
        if (!printer_.newPage()) failed_ = true;
    }
    return !failed_;
}

void QtPrinter::PrintLine(std::string_view text) {
    // An empty line only moves the position; it need not open the output.
    if (!text.empty() && ReadyToDraw()) {
        const QFontMetricsF metrics(painter_->font(), &printer_);
        painter_->drawText(QPointF(ToDevice(x_), ToDevice(y_) + metrics.ascent()),
                           QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    x_ = 0;
    y_ += lineHeight_;
}

void QtPrinter::DrawLine(int x1, int y1, int x2, int y2) {
    if (!ReadyToDraw()) return;
    painter_->drawLine(QPointF(ToDevice(x1), ToDevice(y1)), QPointF(ToDevice(x2), ToDevice(y2)));
}

void QtPrinter::DrawRectangle(int x1, int y1, int x2, int y2) {
    if (!ReadyToDraw()) return;
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(
        QRectF(QPointF(ToDevice(x1), ToDevice(y1)), QPointF(ToDevice(x2), ToDevice(y2))));
}

bool QtPrinter::NewPage() {
    if (ReadyToDraw() && !printer_.newPage()) failed_ = true;
    x_ = y_ = 0;
    return !failed_;
}

bool QtPrinter::ClosePainter() {
    if (!painter_) return true;
    const bool ended = painter_->end();
    painter_.reset();
    return ended;
}

bool QtPrinter::EndDoc() {
    x_ = y_ = 0;
    if (documentEnd_ == DocumentEnd::StartsNewPage) {
        // The next document starts on a fresh page once it draws something,
        // so the output never ends with a blank page.
        if (painter_) pageBreakPending_ = true;
        return !failed_;
    }
    const bool sent = ClosePainter() && !failed_;
    failed_ = false;  // the next document is a new print job
    return sent;
}

bool QtPrinter::Finish() {
    const bool closed = ClosePainter();
    pageBreakPending_ = false;
    return closed && !failed_;
}

}  // namespace palomind
