#include "tests/platform/qt_message_guard.h"

#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>
#include <algorithm>
#include <utility>

namespace palomind::testing {

namespace {

// Qt's message handler is a plain function, so what it collects has to live
// at file scope. Messages may come from Qt's helper threads.
QMutex& WarningsMutex() {
    static QMutex mutex;
    return mutex;
}

QStringList& Warnings() {
    static QStringList warnings;
    return warnings;
}

// Complaints about the machine rather than the code: no sound server or
// sound card, no per-user runtime folder, a display plugin without windows.
bool IsEnvironmentNoise(const QString& message) {
    static const QStringList kNoise{
        QStringLiteral("PulseAudioService"),
        QStringLiteral("No audio device detected"),
        QStringLiteral("XDG_RUNTIME_DIR"),
        QStringLiteral("This plugin does not support"),
    };
    return std::any_of(kNoise.cbegin(), kNoise.cend(),
                       [&](const QString& noise) { return message.contains(noise); });
}

void CollectMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || IsEnvironmentNoise(message)) return;
    QMutexLocker lock(&WarningsMutex());
    Warnings() << message;
}

QStringList TakeWarnings() {
    QMutexLocker lock(&WarningsMutex());
    return std::exchange(Warnings(), {});
}

}  // namespace

void InstallQtMessageGuard() {
    qInstallMessageHandler(CollectMessage);
}

void QtGuardedTest::SetUp() {
    TakeWarnings();
}

void QtGuardedTest::ExpectQtWarning(const QString& fragment) {
    expected_ << fragment;
}

void QtGuardedTest::TearDown() {
    for (const QString& warning : TakeWarnings()) {
        const bool expected = std::any_of(expected_.cbegin(), expected_.cend(),
                                          [&](const QString& f) { return warning.contains(f); });
        if (!expected) ADD_FAILURE() << "unexpected Qt warning: " << warning.toStdString();
    }
}

}  // namespace palomind::testing
