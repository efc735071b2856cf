#include "shell/toolbar_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace palomind {

namespace {

constexpr int kFirstImage = 1;
constexpr int kLastImage = 17;
// Everything is drawn on a 16 x 16 grid and scaled for larger sizes.
constexpr qreal kGrid = 16.0;

constexpr QColor kInk(0x20, 0x20, 0x20);
constexpr QColor kPaper(0xFF, 0xFF, 0xFF);
constexpr QColor kFolder(0xE8, 0xB8, 0x30);
constexpr QColor kDisk(0x30, 0x50, 0xA0);
constexpr QColor kGo(0x20, 0xA0, 0x30);
constexpr QColor kHalt(0xD0, 0x20, 0x20);
constexpr QColor kPerson(0x30, 0x70, 0xC0);

QPen InkPen(qreal width = 1.0) {
    return QPen(kInk, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// A sheet of paper with a folded top-right corner.
void DrawPage(QPainter& p, const QRectF& r) {
    const qreal fold = 3.0;
    QPolygonF sheet;
    sheet << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold)
          << r.bottomRight() << r.bottomLeft();
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF() << QPointF(r.right() - fold, r.top())
                               << QPointF(r.right() - fold, r.top() + fold)
                               << QPointF(r.right(), r.top() + fold));
}

// Horizontal text lines within a band; alignment decides where the shorter
// lines sit (left, centre or right).
void DrawTextLines(QPainter& p, qreal left, qreal right, qreal top, int count, qreal spacing,
                   Qt::Alignment alignment) {
    p.setPen(InkPen(1.5));
    const qreal full = right - left;
    for (int i = 0; i < count; ++i) {
        const qreal length = (i % 2 == 0) ? full : full * 0.6;
        qreal start = left;
        if (alignment & Qt::AlignHCenter) start = left + (full - length) / 2.0;
        if (alignment & Qt::AlignRight) start = right - length;
        const qreal y = top + i * spacing;
        p.drawLine(QPointF(start, y), QPointF(start + length, y));
    }
}

void DrawNew(QPainter& p) {
    DrawPage(p, QRectF(3.5, 1.5, 9, 13));
}

void DrawOpen(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kFolder.darker(120));
    p.drawPolygon(QPolygonF() << QPointF(1.5, 3.5) << QPointF(5.5, 3.5) << QPointF(6.5, 4.5)
                              << QPointF(12.5, 4.5) << QPointF(12.5, 13.5) << QPointF(1.5, 13.5));
    p.setBrush(kFolder);
    p.drawPolygon(QPolygonF() << QPointF(4.5, 7.5) << QPointF(15.0, 7.5) << QPointF(12.5, 13.5)
                              << QPointF(1.5, 13.5));
}

void DrawSave(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kDisk);
    p.drawPolygon(QPolygonF() << QPointF(1.5, 1.5) << QPointF(12.5, 1.5) << QPointF(14.5, 3.5)
                              << QPointF(14.5, 14.5) << QPointF(1.5, 14.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));  // label
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));  // shutter
}

void DrawPrint(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));  // paper going in
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));  // body
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));  // paper coming out
    p.setPen(QPen(kGo, 1.0));
    p.drawPoint(QPointF(12.5, 8.5));  // power lamp
}

void DrawCut(QPainter& p) {
    p.setPen(InkPen(1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(5.0, 1.5), QPointF(10.0, 10.0));
    p.drawLine(QPointF(11.0, 1.5), QPointF(6.0, 10.0));
    p.setPen(QPen(kHalt, 1.5));
    p.drawEllipse(QPointF(4.5, 12.0), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12.0), 2.5, 2.5);
}

void DrawCopy(QPainter& p) {
    DrawPage(p, QRectF(1.5, 1.5, 8, 10));
    DrawPage(p, QRectF(6.5, 4.5, 8, 10));
}

void DrawPaste(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(QColor(0xA0, 0x70, 0x40));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));  // clipboard
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(QRectF(4.5, 1.5, 4, 2));  // clip
    DrawPage(p, QRectF(6.5, 6.5, 8, 8));
}

// "B", "I" and "U": one letter in the style it stands for. All three are
// heavy, as thin strokes fade to grey at 16 pixels.
void DrawLetter(QPainter& p, const QString& letter, bool italic, bool underline) {
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, kGrid, underline ? 13.0 : kGrid), Qt::AlignCenter, letter);
    if (underline) {
        p.setPen(InkPen(1.5));
        p.drawLine(QPointF(3.5, 14.5), QPointF(12.5, 14.5));
    }
}

void DrawAlignment(QPainter& p, Qt::Alignment alignment) {
    DrawTextLines(p, 1.5, 14.5, 2.5, 5, 2.75, alignment);
}

void DrawStopwatch(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8.0, 9.0), 6.0, 6.0);
    p.setBrush(kInk);
    p.drawRect(QRectF(6.5, 0.5, 3, 2));  // crown
    p.drawLine(QPointF(8.0, 9.0), QPointF(8.0, 5.0));
    p.drawLine(QPointF(8.0, 9.0), QPointF(11.0, 9.0));
}

void DrawStart(QPainter& p) {
    p.setPen(QPen(kGo.darker(140), 1.0));
    p.setBrush(kGo);
    p.drawPolygon(QPolygonF() << QPointF(3.5, 1.5) << QPointF(14.0, 8.0) << QPointF(3.5, 14.5));
}

void DrawStop(QPainter& p) {
    p.setPen(QPen(kHalt.darker(140), 1.0));
    p.setBrush(kHalt);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

void DrawRoster(QPainter& p) {
    DrawPage(p, QRectF(6.5, 1.5, 8, 13));
    DrawTextLines(p, 9.0, 12.5, 5.0, 4, 2.5, Qt::AlignLeft);
    p.setPen(QPen(kPerson.darker(140), 1.0));
    p.setBrush(kPerson);
    p.drawEllipse(QPointF(5.0, 5.5), 2.5, 2.5);  // head
    QPainterPath body;
    body.moveTo(0.5, 15.0);
    body.cubicTo(0.5, 8.5, 9.5, 8.5, 9.5, 15.0);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawImage(QPainter& p, int imageNumber) {
    switch (imageNumber) {
        case 1:
            return DrawNew(p);
        case 2:
            return DrawOpen(p);
        case 3:
            return DrawSave(p);
        case 4:
            return DrawPrint(p);
        case 5:
            return DrawCut(p);
        case 6:
            return DrawCopy(p);
        case 7:
            return DrawPaste(p);
        case 8:
            return DrawLetter(p, QStringLiteral("B"), false, false);
        case 9:
            return DrawLetter(p, QStringLiteral("I"), true, false);
        case 10:
            return DrawLetter(p, QStringLiteral("U"), false, true);
        case 11:
            return DrawAlignment(p, Qt::AlignLeft);
        case 12:
            return DrawAlignment(p, Qt::AlignHCenter);
        case 13:
            return DrawAlignment(p, Qt::AlignRight);
        case 14:
            return DrawStopwatch(p);
        case 15:
            return DrawStart(p);
        case 16:
            return DrawStop(p);
        case 17:
            return DrawRoster(p);
        default:
            return;
    }
}

QPixmap RenderImage(int imageNumber, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, size > kGrid);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / kGrid, size / kGrid);
    DrawImage(painter, imageNumber);
    return pixmap;
}

}  // namespace

QIcon ToolbarIcon(int imageNumber) {
    if (imageNumber < kFirstImage || imageNumber > kLastImage) return {};
    QIcon icon;
    for (const int size : {16, 32}) icon.addPixmap(RenderImage(imageNumber, size));
    return icon;
}

}  // namespace palomind
