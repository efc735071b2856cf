#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace palomind::testing {

// Lets the event loop draw for `settleMs`, then saves `shown` as a PNG;
// false, with a line on stderr, where it cannot be written.
bool SavePicture(QWidget& shown, const QString& output, int settleMs);

// The main of a drawing program whose arguments are the `pictures` PNGs to
// write: `draw` gets their absolute paths and returns the exit status.
int DrawingProgramMain(int argc, char** argv, const char* usage, int pictures,
                       const std::function<int(const QStringList& outputs)>& draw);

}  // namespace palomind::testing
