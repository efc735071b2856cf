#pragma once
#include <Qt>

class QMdiArea;

namespace palomind {

// Tiles the child windows that are neither minimized nor hidden in one row or
// column filling the area: Qt::Vertical stacks them one above the other,
// Qt::Horizontal sets them side by side.
void TileSubWindows(QMdiArea& area, Qt::Orientation orientation);

// Lines the minimized child windows up along the bottom edge, left to right.
void ArrangeMinimizedSubWindows(QMdiArea& area);

// Scrolls the area to its top left corner and puts every child window there.
// The race window is wider than the main window's default size: at start it
// shows its top left corner, where the clocks and the standings are, not
// wherever the area scrolled while it was laid out.
void ShowTopLeftCorner(QMdiArea& area);

}  // namespace palomind
