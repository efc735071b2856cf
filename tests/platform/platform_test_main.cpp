#include <gtest/gtest.h>

#include <QApplication>

#include "tests/platform/qt_message_guard.h"

int main(int argc, char** argv) {
    // Test discovery runs this binary at build time, without the test
    // environment and often without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    palomind::testing::InstallQtMessageGuard();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
