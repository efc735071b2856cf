#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

namespace {

// Qt's warnings point at real faults (bad connections, layout errors), so a
// test that causes one fails. Only the offscreen platform's notices about
// window operations it cannot do, which say nothing about the program, are
// let through.
void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    // The offscreen platform says so whenever a main window is shown.
    if (message.contains(QStringLiteral("does not support propagateSizeHints"))) return;
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    // Test discovery runs the binary at build time, without the test
    // environment and often without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
