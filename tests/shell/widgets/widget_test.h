#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTest>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace palomind::testing {

// Every Qt warning, critical or fatal message logged while a test runs. A
// widget test that makes Qt complain (a bad connection, a layout problem, a
// missing font) fails, instead of passing quietly.
QStringList& LoggedQtWarnings();
void InstallQtWarningRecorder();

// Types any text, one key press per character (QTest::keyClicks takes
// Latin-1 only).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

class WidgetTest : public ::testing::Test {
  protected:
    void SetUp() override { LoggedQtWarnings().clear(); }
    void TearDown() override {
        EXPECT_TRUE(LoggedQtWarnings().isEmpty()) << LoggedQtWarnings().join(u'\n').toStdString();
    }
};

}  // namespace palomind::testing
