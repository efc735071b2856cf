#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "widget_test.h"

namespace palomind::testing {

QStringList& LoggedQtWarnings() {
    static QStringList warnings;
    return warnings;
}

void InstallQtWarningRecorder() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        // The offscreen platform cannot stack windows; that says nothing
        // about the program.
        if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
        if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
            LoggedQtWarnings().append(message);
    });
}

}  // namespace palomind::testing

int main(int argc, char** argv) {
    // Test discovery runs this binary at build time, without the test
    // environment, so the platform must be chosen here.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    palomind::testing::InstallQtWarningRecorder();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
