#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace palomind::testing {

// Lets the event loop draw for `settleMs`, then saves `shown` as a PNG;
// false, with a line on stderr, where it cannot be written.
bool SavePicture(QWidget& shown, const QString& output, int settleMs);

// The main of a drawing program whose one argument is the PNG to write:
// `draw` gets its absolute path and returns the exit status.
int DrawingProgramMain(int argc, char** argv, const char* program,
                       const std::function<int(const QString& output)>& draw);

}  // namespace palomind::testing
