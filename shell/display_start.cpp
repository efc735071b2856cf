#include "shell/display_start.h"

#include <cstdlib>
#include <iostream>

#include "app/command_line.h"

namespace palomind {
namespace {

// The toolkit's message handler is a plain function: it reaches the one
// guard alive through this pointer, only while the application object is
// being made.
DisplayStartGuard* activeGuard = nullptr;

}  // namespace

bool DisplayNamed() {
#if defined(Q_OS_LINUX)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

DisplayStartGuard::DisplayStartGuard() {
    activeGuard = this;
    previous_ = qInstallMessageHandler(&DisplayStartGuard::HoldOrEnd);
}

DisplayStartGuard::~DisplayStartGuard() {
    qInstallMessageHandler(previous_);
    activeGuard = nullptr;
    for (const std::string& line : held_) std::cerr << line << '\n';
}

void DisplayStartGuard::HoldOrEnd(QtMsgType type, const QMessageLogContext& context,
                                  const QString& message) {
    if (type == QtFatalMsg) {
        std::cerr << NoDisplayText() << std::endl;
        // Not exit(): nothing of the run has started, and the toolkit is
        // half made.
        std::_Exit(1);
    }
    if (activeGuard != nullptr)
        activeGuard->held_.push_back(qFormatLogMessage(type, context, message).toStdString());
}

}  // namespace palomind
