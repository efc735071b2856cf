#pragma once
#include <QIcon>

namespace palomind {

// The toolbar's image list: images 1 to 17, drawn at run time at 16 x 16
// pixels (and 32 x 32 for high-density screens). Images 1 to 13 are "New",
// "Open", "Save", "Print", "Cut", "Copy", "Paste", "Bold", "Italic",
// "Underline", "Align Left", "Center", "Align Right"; 14 is a stopwatch (not
// on the toolbar), 15 the race start, 16 stop and 17 the participant roster.
// Any other number gives a null icon.
QIcon ToolbarIcon(int imageNumber);

}  // namespace palomind
