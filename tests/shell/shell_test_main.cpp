#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

namespace {

// Qt's warnings point at real faults (bad connections, layout errors), so a
// test that causes one fails. Only the offscreen platform's own notice about
// window hints, which says nothing about the program, is let through.
void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (message.contains(QStringLiteral("propagateSizeHints"))) return;
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
