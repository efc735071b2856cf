#pragma once
#include <QString>
#include <QTest>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace palomind::testing {

// Types any text, one key press per character (QTest::keyClicks takes
// Latin-1 only).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

}  // namespace palomind::testing
