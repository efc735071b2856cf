#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace palomind::testing {

// Debian's chromium, or empty where it is not installed.
QString ChromiumProgram();

// Runs headless chromium on `url` at a phone's size, 390 × 844 (as root it
// needs no sandbox), while the calling thread's event loop goes on; returns
// its standard output. `what` says what it does (--dump-dom, --screenshot=).
QByteArray RunChromium(const QString& chromium, const QStringList& what, const QString& url);

}  // namespace palomind::testing
