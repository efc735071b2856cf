#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

namespace palomind::testing {

// The receiver simulator program of this build, started with `arguments`;
// returns the path it printed, empty if it did not start.
QString StartSimulator(QProcess& process, const QStringList& arguments);

}  // namespace palomind::testing
