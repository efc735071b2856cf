#include "tests/support/qt_warnings.h"

#include <gtest/gtest.h>

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>

namespace palomind::testing {

namespace {

// Qt's message handler is a plain function, so the warnings it is told to
// expect have to live at file scope. Messages may come from Qt's helper
// threads.
QMutex& ExpectedMutex() {
    static QMutex mutex;
    return mutex;
}

QStringList& Expected() {
    static QStringList fragments;
    return fragments;
}

bool ContainsAny(const QString& message, const QStringList& fragments) {
    return std::any_of(fragments.cbegin(), fragments.cend(),
                       [&](const QString& fragment) { return message.contains(fragment); });
}

// No sound server or sound card, no per-user runtime folder, a display
// plugin that cannot do every window operation: the machine, not the code.
bool IsEnvironmentNoise(const QString& message) {
    static const QStringList kNoise{
        QStringLiteral("PulseAudioService"),
        QStringLiteral("No audio device detected"),
        QStringLiteral("XDG_RUNTIME_DIR"),
        QStringLiteral("This plugin does not support"),
    };
    return ContainsAny(message, kNoise);
}

void FailOnUnexpectedWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || IsEnvironmentNoise(message)) return;
    {
        QMutexLocker lock(&ExpectedMutex());
        if (ContainsAny(message, Expected())) return;
    }
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

void FailTestsOnQtWarnings() {
    qInstallMessageHandler(FailOnUnexpectedWarning);
}

ExpectedQtWarning::ExpectedQtWarning(const QString& fragment) : fragment_(fragment) {
    QMutexLocker lock(&ExpectedMutex());
    Expected() << fragment_;
}

ExpectedQtWarning::~ExpectedQtWarning() {
    QMutexLocker lock(&ExpectedMutex());
    Expected().removeOne(fragment_);
}

}  // namespace palomind::testing
