#pragma once
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace palomind {

// The window needs a display. Without one the toolkit prints lines about its
// platform plugins and aborts (status 134); the program says so in one line
// instead (NoDisplayText) and ends with status 1.

// False where plainly no display is there: on Linux no platform plugin is
// named (QT_QPA_PLATFORM=offscreen, say, needs no display) and neither
// DISPLAY nor WAYLAND_DISPLAY is set.
bool DisplayNamed();

// While it lives (around the toolkit's application object being made), a
// fatal toolkit message, a platform plugin that cannot start, ends the
// program with the one line and status 1; the toolkit's other messages are
// held and printed when it ends, so that a failed start prints one line.
// At most one lives at a time.
class DisplayStartGuard {
  public:
    DisplayStartGuard();
    ~DisplayStartGuard();
    DisplayStartGuard(const DisplayStartGuard&) = delete;
    DisplayStartGuard& operator=(const DisplayStartGuard&) = delete;

  private:
    static void HoldOrEnd(QtMsgType type, const QMessageLogContext& context,
                          const QString& message);

    QtMessageHandler previous_;
    std::vector<std::string> held_;
};

}  // namespace palomind
