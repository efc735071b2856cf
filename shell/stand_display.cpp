#include "shell/stand_display.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <array>

#include "shell/japanese_font.h"
#include "shell/model_colors.h"

namespace palomind {
namespace {

constexpr const char* kFullScreenKey = "StandFullScreen";

// The columns, as fractions of the width, left to right.
struct Column {
    const char* heading;
    double left;
    double right;
    Qt::Alignment align;
};
enum ColumnIndex { kPlace, kNumber, kName, kLaps, kLastLap, kBestLap, kGap };
constexpr std::array<Column, 7> kColumns{{
    {"順位", 0.01, 0.08, Qt::AlignRight},
    {"番号", 0.09, 0.16, Qt::AlignRight},
    {"名前", 0.18, 0.46, Qt::AlignLeft},
    {"周回", 0.46, 0.55, Qt::AlignRight},
    {"前周", 0.56, 0.70, Qt::AlignRight},
    {"ベスト", 0.71, 0.85, Qt::AlignRight},
    {"差", 0.86, 0.99, Qt::AlignRight},
}};

const QColor kBackground(0, 0, 0);
const QColor kText(255, 255, 255);
const QColor kHeadings(170, 170, 170);
const QColor kStripe(32, 32, 40);

QRect CellRect(const QRect& row, const Column& column) {
    const int left = row.left() + static_cast<int>(row.width() * column.left);
    const int right = row.left() + static_cast<int>(row.width() * column.right);
    return {left, row.top(), right - left, row.height()};
}

void DrawCell(QPainter& painter, const QRect& row, const Column& column, const QString& text) {
    const QRect cell = CellRect(row, column);
    const QString shown =
        painter.fontMetrics().elidedText(text, Qt::ElideRight, std::max(cell.width(), 0));
    painter.drawText(cell, static_cast<int>(column.align | Qt::AlignVCenter), shown);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

StandLayout StandLayoutFor(QSize size, int places) {
    StandLayout layout;
    const int height = std::max(size.height(), 0);
    layout.rowHeight = height / StandLayout::kUnits;
    layout.textPixels = std::max(1, layout.rowHeight * 62 / 100);
    layout.countdownPixels = std::max(1, height * 55 / 100);
    const int fit = layout.rowHeight > 0 ? height / layout.rowHeight - StandLayout::kBandUnits : 0;
    layout.placesShown = std::clamp(places, 0, std::max(fit, 0));
    return layout;
}

StandDisplay::StandDisplay(Application& app, QWidget* owner)
    : QWidget(owner, Qt::Window),
      app_(app),
      redraws_([this] { update(); }, kRedrawIntervalMs),
      placement_(app.Settings(), WindowFrameMargins, "Stand") {
    setObjectName(QStringLiteral("frmStandDisplay"));
    setWindowTitle(QStringLiteral("大型表示"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(1280, 720);
}

StandDisplay::~StandDisplay() {
    Follow(false);
}

void StandDisplay::Open() {
    if (!placed_) {
        placed_ = true;
        placement_.Restore(*this);
    }
    Follow(true);
    stale_ = true;
    if (app_.Settings().GetSetting("Settings", kFullScreenKey).value_or("0") == "1")
        showFullScreen();
    else
        show();
    raise();
    activateWindow();
}

void StandDisplay::StorePlacement() {
    if (!placed_) return;
    placement_.Store(*this);
    app_.Settings().SaveSetting("Settings", kFullScreenKey, isFullScreen() ? "1" : "0");
}

void StandDisplay::Follow(bool following) {
    if (following == following_) return;
    following_ = following;
    if (following)
        app_.Subscribe(this);
    else
        app_.Unsubscribe(this);
}

void StandDisplay::OnRaceEvent(const RaceEvent& /*event*/) {
    stale_ = true;
    redraws_.Changed();
}

void StandDisplay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F11) {
        isFullScreen() ? showNormal() : showFullScreen();
    } else if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void StandDisplay::closeEvent(QCloseEvent* event) {
    StorePlacement();
    // Closed, it costs the race nothing.
    Follow(false);
    event->accept();
}

void StandDisplay::paintEvent(QPaintEvent* /*event*/) {
    // Read from the race only when drawn: a hidden display costs nothing.
    if (stale_) {
        board_ = StandBoardOf(app_.State(), app_.Window(), app_.Roster());
        stale_ = false;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    const StandLayout layout = Layout();
    const int unit = layout.rowHeight;
    if (unit <= 0) return;
    QFont font = JapaneseFont(JapaneseFace::Gothic, 12, true);
    font.setPixelSize(layout.textPixels);
    painter.setFont(font);

    // The status band: the lamp, the status, the elapsed and remaining time.
    const QRect band(0, 0, width(), 2 * unit);
    const int lampSize = unit * 3 / 2;
    const QRect lamp(unit / 4, (band.height() - lampSize) / 2, lampSize, lampSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ResolveColor(board_.lampColor, palette()));
    painter.drawEllipse(lamp);
    painter.setPen(kText);
    const QRect status(lamp.right() + unit / 2, 0, width() * 30 / 100, band.height());
    painter.drawText(status, Qt::AlignLeft | Qt::AlignVCenter, Text(board_.status));
    const QRect clocks(width() * 40 / 100, 0, width() * 59 / 100, band.height());
    painter.drawText(
        clocks, Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("経過 %1　残り %2").arg(Text(board_.elapsed), Text(board_.remaining)));

    if (board_.secondsToStart) {
        // The countdown fills what is below the band.
        QFont digits = font;
        digits.setPixelSize(layout.countdownPixels);
        painter.setFont(digits);
        painter.drawText(QRect(0, band.bottom(), width(), height() - band.bottom()),
                         Qt::AlignCenter, QString::number(*board_.secondsToStart));
        return;
    }

    QRect row(0, band.bottom() + 1, width(), unit);
    painter.setPen(kHeadings);
    for (const Column& column : kColumns)
        DrawCell(painter, row, column, QString::fromUtf8(column.heading));
    for (int i = 0; i < layout.placesShown; ++i) {
        row.translate(0, unit);
        if (i % 2 == 1) painter.fillRect(row, kStripe);
        painter.setPen(kText);
        const StandRow& entrant = board_.rows[static_cast<std::size_t>(i)];
        DrawCell(painter, row, kColumns[kPlace], QString::number(entrant.place));
        DrawCell(painter, row, kColumns[kNumber], QString::number(entrant.id));
        DrawCell(painter, row, kColumns[kName], Text(entrant.name));
        DrawCell(painter, row, kColumns[kLaps], QString::number(entrant.laps));
        DrawCell(painter, row, kColumns[kLastLap], Text(entrant.lastLap));
        DrawCell(painter, row, kColumns[kBestLap], Text(entrant.bestLap));
        DrawCell(painter, row, kColumns[kGap], Text(entrant.gap));
    }
}

}  // namespace palomind
