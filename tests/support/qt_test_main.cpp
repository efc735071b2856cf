// The main() of every test program that needs Qt: an offscreen application,
// and any Qt warning nobody expected fails the test.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/qt_warnings.h"

int main(int argc, char** argv) {
    // Test discovery runs the binary at build time, without the test
    // environment and often without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    palomind::testing::FailTestsOnQtWarnings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
