#include "shell/mdi_arrange.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

namespace palomind {
namespace {

QList<QMdiSubWindow*> SubWindows(QMdiArea& area, bool minimized) {
    QList<QMdiSubWindow*> found;
    for (QMdiSubWindow* child : area.subWindowList(QMdiArea::CreationOrder)) {
        if (child->isVisible() && child->isMinimized() == minimized) found.append(child);
    }
    return found;
}

}  // namespace

void TileSubWindows(QMdiArea& area, Qt::Orientation orientation) {
    const QList<QMdiSubWindow*> children = SubWindows(area, false);
    if (children.isEmpty()) return;
    const QRect space = area.viewport()->rect();
    const int count = static_cast<int>(children.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* child = children[i];
        if (child->isMaximized()) child->showNormal();
        if (orientation == Qt::Vertical) {
            const int top = space.height() * i / count;
            const int bottom = space.height() * (i + 1) / count;
            child->setGeometry(space.left(), space.top() + top, space.width(), bottom - top);
        } else {
            const int left = space.width() * i / count;
            const int right = space.width() * (i + 1) / count;
            child->setGeometry(space.left() + left, space.top(), right - left, space.height());
        }
    }
}

void ArrangeMinimizedSubWindows(QMdiArea& area) {
    const QRect space = area.viewport()->rect();
    int left = space.left();
    int bottom = space.bottom() + 1;
    for (QMdiSubWindow* child : SubWindows(area, true)) {
        const QSize size = child->size();
        if (left > space.left() && left + size.width() > space.right() + 1) {
            // The row is full: start another one above it.
            left = space.left();
            bottom -= size.height();
        }
        child->move(left, bottom - size.height());
        left += size.width();
    }
}

void ShowTopLeftCorner(QMdiArea& area) {
    area.horizontalScrollBar()->setValue(0);
    area.verticalScrollBar()->setValue(0);
    for (QMdiSubWindow* child : area.subWindowList()) child->move(0, 0);
}

}  // namespace palomind
