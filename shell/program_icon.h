#pragma once
#include <QIcon>
#include <QImage>

namespace palomind {

// The program's icon, a chequered flag, drawn at `pixels` x `pixels`. The
// window, the About box and the icons installed for the desktop's menus all
// come from this one drawing. Needs no application object.
QImage ProgramIconImage(int pixels);

// The icon at the sizes a window and its title bar use.
QIcon ProgramIcon();

}  // namespace palomind
