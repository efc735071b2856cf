#include <gtest/gtest.h>

#include <QApplication>
#include <QString>

namespace {

// A Qt warning nobody expected fails the test that caused it.
void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // The offscreen platform says so whenever a main window is shown.
    if (message.contains(QStringLiteral("does not support propagateSizeHints"))) return;
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    // Test discovery runs this binary at build time, without the test
    // environment and often without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
