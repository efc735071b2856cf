// "観客用ﾍﾟｰｼﾞを公開" and "ｴｸｽﾎﾟｰﾄ(&E)..." in the real main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>

#include "documents/exact_times.h"
#include "documents/race_json.h"
#include "engine/exact_result.h"
#include "shell/spectator_page_dialog.h"
#include "shell/spectator_publishing.h"
#include "tests/support/shell_harness.h"
#include "tests/web/loopback_client.h"

namespace palomind::testing {
namespace {

// A port nobody listens at now.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class SpectatorPageTest : public StartedShellTest {
  protected:
    std::string Setting(const char* key) {
        return h.settings.GetSetting("SpectatorPage", key).value_or("");
    }
    void RememberPort(quint16 port) {
        h.settings.SaveSetting("SpectatorPage", "Port", std::to_string(port));
    }
    SpectatorPublishing& Spectators() { return h.window->Spectators(); }
};

TEST_F(SpectatorPageTest, TheMenuPublishesTheRaceAndRemembersItWithThePort) {
    const quint16 port = FreePort();
    RememberPort(port);
    h.Press("ＩＤ１");
    h.Choose("mnuViewSpectatorPage");
    ASSERT_TRUE(Spectators().IsPublishing()) << ::testing::PrintToString(h.dialogs.messages);
    EXPECT_EQ(Spectators().Port(), port);
    EXPECT_TRUE(h.Item("mnuViewSpectatorPage")->isChecked());
    EXPECT_EQ(Setting("Publish"), "1");
    ASSERT_NE(Spectators().Dialog(), nullptr);
    EXPECT_TRUE(Spectators().Dialog()->isVisible());
    EXPECT_TRUE(Spectators()
                    .Dialog()
                    ->findChild<QLabel*>(QStringLiteral("lblSpectatorUrl"))
                    ->text()
                    .contains(QString::number(port)) ||
                h.window->findChild<QLabel*>(QStringLiteral("lblSpectatorUrl"))
                    ->text()
                    .contains(QStringLiteral("ネットワーク")));

    // A change within the pacing interval of the last copy reaches the page
    // once the interval has passed on the tick counter.
    h.Press("ＩＤ２");
    h.ticks.Set(h.ticks.Now() + SpectatorFeed::kDefaultIntervalMs);
    QTest::qWait(250);
    // The window's texts, with the engine's exact times, then the exact
    // result and the pass of ID 2 just counted.
    const ExactResult result = ExactResultOf(h.State());
    ASSERT_EQ(result.entrants.size(), 2u);
    EXPECT_EQ(Exchange(port, Get("/race.json")).body.toStdString(),
              RaceJson(WithExactTimes(h.Model(), result), result,
                       LastPass{2, result.entrants[1].timeMs}));

    h.Choose("mnuViewSpectatorPage");
    EXPECT_FALSE(Spectators().IsPublishing());
    EXPECT_EQ(Setting("Publish"), "0");
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 0);  // nobody listens
}

TEST_F(SpectatorPageTest, ATakenPortIsSaidPlainlyAndTheRaceGoesOn) {
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    RememberPort(other.serverPort());
    h.Press("レース開始");
    const RaceWindowModel before = h.Model();
    h.Choose("mnuViewSpectatorPage");
    EXPECT_FALSE(Spectators().IsPublishing());
    EXPECT_FALSE(h.Item("mnuViewSpectatorPage")->isChecked());
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].find("ポート " + std::to_string(other.serverPort()) +
                                         " は他のプログラムが使っている"),
              std::string::npos);
    EXPECT_EQ(h.Model().StatusCaption, before.StatusCaption);
    EXPECT_EQ(Setting("Publish"), "");
}

TEST_F(SpectatorPageTest, StartsAtLaunchAsRememberedOrAsAskedForThisRunOnly) {
    const quint16 remembered = FreePort();
    RememberPort(remembered);
    Spectators().StartAtLaunch(std::nullopt);
    EXPECT_FALSE(Spectators().IsPublishing());  // off by default

    h.settings.SaveSetting("SpectatorPage", "Publish", "1");
    Spectators().StartAtLaunch(std::nullopt);
    EXPECT_EQ(Spectators().Port(), remembered);
    EXPECT_TRUE(h.Item("mnuViewSpectatorPage")->isChecked());
    EXPECT_EQ(Spectators().Dialog(), nullptr);  // no dialog at start-up

    Spectators().StartAtLaunch(WebAddress{"127.0.0.1", 0});
    EXPECT_NE(Spectators().Port(), remembered);
    EXPECT_EQ(Setting("Port"), std::to_string(remembered));
}

TEST_F(SpectatorPageTest, TheDialogMovesThePageToAnotherPort) {
    RememberPort(FreePort());
    h.Choose("mnuViewSpectatorPage");
    const quint16 next = FreePort();
    auto* field = Spectators().Dialog()->findChild<QSpinBox*>(QStringLiteral("spnSpectatorPort"));
    field->setValue(next);
    Spectators().Dialog()->findChild<QPushButton*>(QStringLiteral("btnSpectatorPort"))->click();
    EXPECT_EQ(Spectators().Port(), next);
    EXPECT_EQ(Setting("Port"), std::to_string(next));
    EXPECT_EQ(Exchange(next, Get("/race.json")).status, 200);
}

TEST(QrCodeImageTest, DrawsASquareCodeWithAQuietZone) {
    const QImage image = QrCodeImage(QStringLiteral("http://192.0.2.1:8080/"), 4);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), image.height());
    EXPECT_EQ(image.pixelColor(0, 0), Qt::white);
    EXPECT_EQ(image.pixelColor(4 * 4, 4 * 4), Qt::black);  // a finder pattern's corner
}

TEST_F(SpectatorPageTest, ExportWritesCsvOrHtmlAsTheNameSaysAndTellsOfFailure) {
    h.Press("ＩＤ１");
    h.dialogs.fileAnswers = {"results.csv", "results.HTML", "no/such/folder/r.csv"};
    h.window->mnuFileExport_Click();
    h.window->mnuFileExport_Click();
    EXPECT_EQ(h.ReadFile("results.csv").rfind("\xEF\xBB\xBFレース時間,", 0), 0u);
    EXPECT_EQ(h.ReadFile("results.HTML").rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(h.dialogs.fileRequests[0].filter, "CSV (*.csv)|*.csv|HTML (*.html)|*.html;*.htm");
    h.window->mnuFileExport_Click();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].find("エクスポートできませんでした。"), std::string::npos);
}

}  // namespace
}  // namespace palomind::testing
