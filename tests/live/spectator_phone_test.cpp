// The spectators' page in headless Chromium at a phone's size (390 × 844),
// fed race.json answers made here: what fits on the first screen, the forms
// of its times and gaps, the entrant followed and the pass lit up. Headless
// Chromium lays out a dumped page at least 500 px wide, so the page is
// measured in a 390 × 844 frame of a probe page of the same origin, whose
// script writes its report into the DOM Chromium dumps.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "documents/exact_times.h"
#include "documents/page_assets.h"
#include "documents/race_json.h"
#include "engine/exact_result.h"
#include "tests/engine/engine_fixture.h"
#include "tests/live/headless_chromium.h"

namespace palomind::testing {
namespace {

// Serves the page as the program does, race.json (the answers in turn, the
// last one from then on) and at /probe the page in a phone-sized frame with
// the `probe` script beside it.
class PageServer {
  public:
    PageServer(const std::string& probe, std::vector<std::string> answers)
        : answers_(std::move(answers)) {
        probe_ = QByteArray::fromStdString(
            "<!DOCTYPE html><html><body style=\"margin:0\"><iframe id=\"phone\" src=\"/\" "
            "width=\"390\" height=\"844\" style=\"border:0\"></iframe><script>\n" +
            probe + "\n</script></body></html>");
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    }
    QString Url(const char* path = "") const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(server_.serverPort()).arg(path);
    }

  private:
    void Accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                buffers_[socket] += socket->readAll();
                const QByteArray& request = buffers_[socket];
                if (!request.contains("\r\n\r\n")) return;
                const QByteArray path = request.split(' ').value(1);
                buffers_.remove(socket);
                Answer(*socket, path);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void Answer(QTcpSocket& socket, const QByteArray& path) {
        QByteArray status = "200 OK", type = "text/html; charset=utf-8";
        QByteArray body = QByteArray::fromRawData(
            kSpectatorPageHtml.data(), static_cast<qsizetype>(kSpectatorPageHtml.size()));
        if (path == "/probe") {
            body = probe_;
        } else if (path.startsWith("/race.json")) {
            const std::size_t next = std::min(served_++, answers_.size() - 1);
            type = "application/json";
            body = QByteArray::fromStdString(answers_[next]);
        } else if (path != "/") {
            status = "404 Not Found";
            body.clear();
        }
        socket.write("HTTP/1.1 " + status + "\r\nContent-Type: " + type +
                     "\r\nCache-Control: no-store\r\nContent-Length: " +
                     QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket.disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray probe_;
    std::vector<std::string> answers_;
    std::size_t served_ = 0;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

// The probe's report: what it wrote into <pre id="probe"> as JSON.
QJsonObject ProbeReport(const QString& dom) {
    const QRegularExpression probe(QStringLiteral("<pre id=\"probe\"[^>]*>(.*?)</pre>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    QString text = probe.match(dom).captured(1);
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// Reports, `at` ms after the probe page opens, the texts of the standings' and the
// lap history's rows and which of them lie inside the first screen (a lap
// row's number and first lap: a wide history scrolls sideways).
std::string ProbeAt(int at, const std::string& before = {}) {
    return before + R"(
setTimeout(function () {
  var win = document.getElementById('phone').contentWindow, doc = win.document;
  var screen = { bottom: win.innerHeight, right: win.innerWidth };
  var box = doc.querySelector('.standings-box').getBoundingClientRect();
  function inView(element, clip) {
    var r = element.getBoundingClientRect();
    return r.height > 0 && r.top >= 0 && r.left >= 0 && r.bottom <= Math.min(screen.bottom, clip.bottom) &&
      r.right <= Math.min(screen.right, clip.right);
  }
  // A row is in view when its first `checked` cells (all by default) are.
  function rows(selector, clip, checked) {
    return Array.prototype.map.call(doc.querySelectorAll(selector), function (row) {
      var cells = Array.prototype.slice.call(row.cells, 0, checked || row.cells.length);
      return {
        cells: Array.prototype.map.call(row.cells, function (c) { return c.textContent; }),
        className: row.className,
        visible: cells.every(function (c) {
          return win.getComputedStyle(c).display === 'none' || inView(c, clip);
        })
      };
    });
  }
  var report = {
    standings: rows('#standings tr', box),
    laps: rows('#laps tbody tr', screen, 2),
    remaining: doc.getElementById('remaining').textContent,
    elapsed: doc.getElementById('elapsed').textContent,
    commentHidden: doc.getElementById('comment').hidden,
    followed: win.localStorage.getItem('palomind.followedId'),
    pageWidth: doc.documentElement.scrollWidth,
    screen: [win.innerWidth, win.innerHeight],
    box: [box.left, box.top, box.right, box.bottom]
  };
  var out = document.createElement('pre');
  out.id = 'probe';
  out.hidden = true;
  out.textContent = JSON.stringify(report);
  document.body.appendChild(out);
}, )" + std::to_string(at) +
           ");";
}

QJsonObject Probe(const std::string& probe, std::vector<std::string> answers,
                  const QString& screenshot = {}) {
    PageServer server(probe, std::move(answers));
    const QString chromium = ChromiumProgram();
    if (!screenshot.isEmpty()) RunChromium(chromium, {"--screenshot=" + screenshot}, server.Url());
    return ProbeReport(
        QString::fromUtf8(RunChromium(chromium, {"--dump-dom"}, server.Url("probe"))));
}

QStringList Cells(const QJsonValue& row) {
    QStringList cells;
    for (const QJsonValue& cell : row[QStringLiteral("cells")].toArray())
        cells.push_back(cell.toString());
    return cells;
}

class SpectatorPhoneTest : public EngineTest {
  protected:
    void SetUp() override {
        if (ChromiumProgram().isEmpty()) GTEST_SKIP() << "Debian's chromium is not installed";
    }
};

// Ten entrants two minutes into a race, the slowest a lap down.
class PhoneRaceTest : public SpectatorPhoneTest {
  protected:
    PhoneRaceTest() {
        const char* const roster[] = {"佐藤 健太", "鈴木 一郎",      "高橋", "Maria Rossi",
                                      "田中 美咲", "伊藤 ひろし",    "渡辺", "山本 翔",
                                      "中村",      "Christopher Lee"};
        for (int id = 1; id <= 10; ++id) names[static_cast<std::size_t>(id)] = roster[id - 1];
        struct PassAt {
            std::int32_t tick;
            int id;
        };
        std::vector<PassAt> passes;
        for (int id = 1; id <= 10; ++id) {
            const std::int32_t lapMs = id == 10 ? 52'000 : 31'000 + id * 730;
            for (std::int32_t tick = 10'500 + id * 200; tick <= 130'000; tick += lapMs)
                passes.push_back({tick, id});
        }
        std::sort(passes.begin(), passes.end(),
                  [](const PassAt& a, const PassAt& b) { return a.tick < b.tick; });
        StartAt(0);
        for (const PassAt& pass : passes) {
            TickUntil(pass.tick);
            Pass(pass.id, pass.tick);
        }
        TickUntil(131'000);
        window.Comment = "第3ヒート 決勝";
        const ExactResult result = ExactResultOf(state);
        json = RaceJson(WithExactTimes(window, result), result,
                        LastPass{passes.back().id, result.entrants.front().timeMs});
    }
    std::string json;
};

TEST_F(PhoneRaceTest, TheFirstEightPlacesAndTheLapHistorysFirstRowFitTheFirstScreen) {
    const QJsonObject report =
        Probe(ProbeAt(2000), {json},
              qEnvironmentVariable(
                  "PALOMIND_SPECTATOR_PHONE_SCREENSHOT",
                  QString::fromStdString((std::filesystem::temp_directory_path() / "phone.png"))));
    const QJsonArray standings = report[QStringLiteral("standings")].toArray();
    ASSERT_EQ(standings.size(), 10) << QJsonDocument(report).toJson().toStdString();
    for (int place = 1; place <= 8; ++place) {
        EXPECT_EQ(Cells(standings[place - 1]).value(0), QString::number(place));
        EXPECT_TRUE(standings[place - 1][QStringLiteral("visible")].toBool())
            << place << QJsonDocument(report).toJson().toStdString();
    }
    const QJsonArray laps = report[QStringLiteral("laps")].toArray();
    ASSERT_FALSE(laps.isEmpty());
    EXPECT_EQ(Cells(laps[0]).value(0), "1");
    EXPECT_TRUE(laps[0][QStringLiteral("visible")].toBool())
        << QJsonDocument(report).toJson().toStdString();
    EXPECT_LE(report[QStringLiteral("pageWidth")].toInt(), 390);  // the page never scrolls sideways
    EXPECT_EQ(Cells(standings[9]).value(5), "+1周");              // the slowest is a lap down
}

// A hand-made race whose times show every form.
class PhoneFormsTest : public SpectatorPhoneTest {
  protected:
    static EntrantResult Entrant(int id, int place, int laps, std::int64_t timeMs) {
        EntrantResult entrant;
        entrant.id = id;
        entrant.status = EntrantStatus::Run;
        entrant.place = place;
        entrant.laps = laps;
        entrant.timeMs = timeMs;
        return entrant;
    }
    PhoneFormsTest() {
        EntrantResult leader = Entrant(1, 1, 3, 3'723'450);
        leader.lapMs = {62'500, 14'329, 3'646'621};
        leader.bestMs = 14'329;
        result.entrants = {leader, Entrant(2, 2, 3, 3'725'799), Entrant(3, 3, 2, 3'700'000),
                           Entrant(4, 4, 2, 3'800'000), Entrant(5, 5, 2, 3'900'000)};
        result.entrants[4].status = EntrantStatus::Dq;
        window.LapHistory.SetTextMatrix(0, 1, "ID01");
        window.LapHistory.SetTextMatrix(2, 0, "1");
        window.LapHistory.SetTextMatrix(2, 1, "01m02s50");
        window.LapHistory.SetTextMatrix(3, 0, "2");
        window.LapHistory.SetTextMatrix(3, 1, "00m14s32");
    }
    std::string Json(std::optional<LastPass> lastPass = {}) const {
        return RaceJson(window, result, lastPass);
    }
    ExactResult result;
};

TEST_F(PhoneFormsTest, TimesAndGapsDropLeadingZeroHoursAndMinutes) {
    const QJsonObject report = Probe(ProbeAt(1000), {Json()});
    const QJsonArray standings = report[QStringLiteral("standings")].toArray();
    // place, ID, name, laps, time, gap to the leader, to the car ahead, last
    // lap, best lap
    const QStringList expected[] = {
        {"1", "01", "", "3", "1:02:03.45", "", "", "1:00:46.62", "14.32"},
        {"2", "02", "", "3", "1:02:05.79", "+2.34", "+2.34", "", ""},
        {"3", "03", "", "2", "1:01:40.00", "+1周", "+1周", "", ""},
        {"4", "04", "", "2", "1:03:20.00", "+1周", "+1:40.00", "", ""},
        {"失格", "05", "", "2", "1:05:00.00", "", "", "", ""}};
    ASSERT_EQ(standings.size(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < standings.size(); ++i) EXPECT_EQ(Cells(standings[i]), expected[i]) << i;
    const QJsonArray laps = report[QStringLiteral("laps")].toArray();
    ASSERT_EQ(laps.size(), 2);
    EXPECT_EQ(Cells(laps[0]), (QStringList{"1", "1:02.50"}));
    EXPECT_EQ(Cells(laps[1]), (QStringList{"2", "14.32"}));
}

TEST_F(PhoneFormsTest, PastTheRaceTimeTheRemainingClockGivesWayToTheStatus) {
    window.StatusCaption = "終了中";
    window.ElapsedCaption = "01h02m05s";
    window.RemainingCaption = "-00h00m05s";
    window.Comment = "レースコメント記入欄";
    const QJsonObject report = Probe(ProbeAt(1000), {Json()});
    EXPECT_EQ(report[QStringLiteral("remaining")].toString(), "終了中");
    EXPECT_EQ(report[QStringLiteral("elapsed")].toString(), "1:02:05");
    EXPECT_TRUE(report[QStringLiteral("commentHidden")].toBool());
}

TEST_F(PhoneFormsTest, ATappedEntrantIsPinnedAtTheTopAndRemembered) {
    const std::string tap = R"(
setTimeout(function () {
  document.getElementById('phone').contentDocument
    .querySelector('#standings tr[data-id="04"]').click();
}, 1000);)";
    const QJsonObject report = Probe(ProbeAt(1500, tap), {Json()});
    const QJsonArray standings = report[QStringLiteral("standings")].toArray();
    ASSERT_EQ(standings.size(), 5);
    EXPECT_EQ(Cells(standings[0]).mid(0, 2), (QStringList{"4", "04"}));
    EXPECT_EQ(standings[0][QStringLiteral("className")].toString(), "followed");
    EXPECT_EQ(Cells(standings[1]).value(1), "01");
    EXPECT_EQ(report[QStringLiteral("followed")].toString(), "04");
}

TEST_F(PhoneFormsTest, ANewPassLightsItsEntrantsRowForASecond) {
    const std::vector<std::string> answers = {Json(LastPass{2, 3'725'700}),
                                              Json(LastPass{3, 3'725'799})};
    const auto classOf = [](const QJsonObject& report, int row) {
        return report[QStringLiteral("standings")][row][QStringLiteral("className")].toString();
    };
    const QJsonObject soon = Probe(ProbeAt(1000), answers);
    EXPECT_EQ(classOf(soon, 2), "passed");
    EXPECT_EQ(classOf(soon, 1), "");  // the pass already there when the page opened
    const QJsonObject later = Probe(ProbeAt(2800), answers);
    EXPECT_EQ(classOf(later, 2), "");
}

}  // namespace
}  // namespace palomind::testing
