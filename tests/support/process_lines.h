#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>

namespace palomind::testing {

// A program driven line by line over its standard input and output (the
// crash driver, the receiver simulator).

// Its next line of output, trimmed; empty once the timeout has passed or the
// program has ended.
QString ReadLine(QProcess& process, int timeoutMs = 20'000);
// Sends `command` as one line and returns the line it answers.
QString Ask(QProcess& process, const QByteArray& command);

}  // namespace palomind::testing
