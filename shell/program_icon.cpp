#include "shell/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace palomind {

namespace {

// Drawn on a 32 x 32 grid, the size the About box shows, and scaled.
constexpr int kGrid = 32;

void DrawFlag(QPainter& painter) {
    painter.setPen(QPen(Qt::darkGray, 2));
    painter.drawLine(5, 3, 5, 30);  // the pole
    constexpr int kSquare = 5;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            painter.fillRect(7 + col * kSquare, 4 + row * kSquare, kSquare, kSquare,
                             (row + col) % 2 == 0 ? Qt::black : Qt::white);
    // The border runs along the outer pixels of the squares (pixel centres
    // are at .5), so it stays on them at every scale.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(7.5, 4.5, 4 * kSquare - 1, 4 * kSquare - 1));
}

}  // namespace

QImage ProgramIconImage(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Smoothed, so sizes that are no multiple of the grid keep every square.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<qreal>(pixels) / kGrid, static_cast<qreal>(pixels) / kGrid);
    DrawFlag(painter);
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int pixels : {16, 24, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(pixels)));
    }
    return icon;
}

}  // namespace palomind
