#include "tests/live/headless_chromium.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace palomind::testing {

QString ChromiumProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("chromium"));
}

QByteArray RunChromium(const QString& chromium, const QStringList& what, const QString& url) {
    QTemporaryDir profile;
    QProcess browser;
    browser.start(
        chromium,
        QStringList{"--headless=new", "--no-sandbox", "--disable-gpu", "--no-proxy-server",
                    "--no-first-run", "--user-data-dir=" + profile.path(), "--window-size=390,844",
                    "--hide-scrollbars", "--virtual-time-budget=3000"} +
            what + QStringList{url});
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser.state() == QProcess::NotRunning; }, 60000));
    return browser.readAllStandardOutput();
}

}  // namespace palomind::testing
