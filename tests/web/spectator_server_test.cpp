// The spectators' web server: what it serves, and the limits that keep a
// slow or hostile client from holding up the others. Loopback only.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "documents/page_assets.h"
#include "documents/race_json.h"
#include "tests/web/loopback_client.h"
#include "web/spectator_service.h"

namespace palomind::testing {
namespace {

class SpectatorServerTest : public ::testing::Test {
  protected:
    SpectatorServerTest() {
        window.StatusCaption = "計測中";
        window.Standings.SetTextMatrix(1, 1, "05");
        window.Standings.SetTextMatrix(1, 2, "Sato, \"Flash\"");
        window.LapHistory.SetTextMatrix(0, 1, "ID05");
        window.LapHistory.SetTextMatrix(2, 1, "01m02s03");
        race.Publish(window);
    }
    void StartWith(ConnectionLimits limits) {
        service = std::make_unique<SpectatorService>(race, limits);
        const auto started = service->Start({"127.0.0.1", 0});
        ASSERT_TRUE(started.serving) << started.error;
        port = service->Port();
    }
    void SetUp() override { StartWith({}); }
    // Connections from 127.0.0.1 that sent `sent` (nothing: idle ones).
    std::vector<std::unique_ptr<QTcpSocket>> Hold(int count, const QByteArray& sent = {}) {
        std::vector<std::unique_ptr<QTcpSocket>> held;
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            if (!Connect(*socket, port)) continue;
            if (!sent.isEmpty()) socket->write(sent);
            socket->waitForBytesWritten(100);
            held.push_back(std::move(socket));
        }
        QTest::qWait(100);
        return held;
    }

    RaceWindowModel window;
    RaceSnapshotSlot race;
    std::unique_ptr<SpectatorService> service;
    quint16 port = 0;
};

TEST_F(SpectatorServerTest, ServesThePageAndTheRaceAsTheWindowShowsIt) {
    const Reply page = Exchange(port, Get("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.Has("Content-Type: text/html; charset=utf-8\r\n"));
    EXPECT_EQ(page.body.toStdString(), kSpectatorPageHtml);
    // Everything the page needs is inside it: no address of anywhere else.
    EXPECT_FALSE(page.body.contains("http:") || page.body.contains("https:") ||
                 page.body.contains("//fonts") || page.body.contains("src=\""));

    const Reply data = Exchange(port, Get("/race.json"));
    EXPECT_EQ(data.status, 200);
    EXPECT_TRUE(data.Has("Content-Type: application/json\r\n"));
    EXPECT_EQ(data.body.toStdString(), RaceJson(window));

    // The page re-reads with the tag it has: unchanged data is not sent again.
    const qsizetype tagAt = data.head.indexOf("ETag: ");
    const QByteArray tag = data.head.mid(tagAt + 6, data.head.indexOf("\r\n", tagAt) - tagAt - 6);
    EXPECT_EQ(Exchange(port, Get("/race.json", "If-None-Match: " + tag + "\r\n")).status, 304);
    window.Comment = "changed";
    race.Publish(window);
    const Reply changed = Exchange(port, Get("/race.json", "If-None-Match: " + tag + "\r\n"));
    EXPECT_EQ(changed.status, 200);
    EXPECT_EQ(changed.body.toStdString(), RaceJson(window));
}

TEST_F(SpectatorServerTest, HeadGetsTheHeadersAlone) {
    // Its Content-Length is the body's, which never comes: read until quiet.
    const Reply head = Exchange(port, "HEAD /race.json HTTP/1.1\r\nHost: x\r\n\r\n", false, 200);
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.Has(("Content-Length: " + std::to_string(RaceJson(window).size())).c_str()));
    EXPECT_TRUE(head.body.isEmpty());
}

TEST_F(SpectatorServerTest, AnswersEveryOtherMethodWith405AndChangesNothing) {
    for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE", "BREW"}) {
        const Reply reply = Exchange(port, QByteArray(method) +
                                               " /race.json HTTP/1.1\r\nHost: x\r\n"
                                               "Content-Length: 2\r\n\r\n{}");
        EXPECT_EQ(reply.status, 405) << method;
        EXPECT_TRUE(reply.Has("Allow: GET, HEAD\r\n")) << method;
    }
    EXPECT_EQ(Exchange(port, Get("/../etc/passwd")).status, 404);
    EXPECT_EQ(Exchange(port, Get("/spectator.css")).status, 404);
    EXPECT_EQ(race.Latest().sequence, 1u);
    EXPECT_EQ(Exchange(port, Get("/race.json")).body.toStdString(), RaceJson(window));
}

TEST_F(SpectatorServerTest, RefusesOversizedRequestsAndTooManyHeaders) {
    const Reply huge = Exchange(port, Get("/", "X-Big: " + QByteArray(20'000, 'a') + "\r\n"), true);
    EXPECT_EQ(huge.status, 413);
    EXPECT_TRUE(huge.closed);
    const Reply body = Exchange(
        port, "GET / HTTP/1.1\r\nContent-Length: 100000\r\n\r\n" + QByteArray(100'000, 'b'));
    EXPECT_EQ(body.status, 413);
    QByteArray headers;
    for (int i = 0; i < 65; ++i) headers += "X-H" + QByteArray::number(i) + ": v\r\n";
    EXPECT_EQ(Exchange(port, Get("/", headers)).status, 431);
    // Garbage is no request: the connection is closed, and the server serves on.
    EXPECT_TRUE(Exchange(port, "\x16\x03\x01 garbage\r\n\r\n", true).closed);
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);
}

TEST_F(SpectatorServerTest, OpensNoMoreThanItsConnectionsAndServesAgainWhenOneCloses) {
    StartWith({.maxConnections = 4});
    std::vector<std::unique_ptr<QTcpSocket>> held = Hold(4, "GET / HTTP/1.1\r\n");  // busy
    ASSERT_EQ(held.size(), 4u);
    const Reply refused = Exchange(port, Get("/race.json"), true);
    EXPECT_EQ(refused.status, 503);
    EXPECT_TRUE(refused.closed);
    held.front()->abort();
    held.erase(held.begin());
    QTest::qWait(100);
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);
}

TEST_F(SpectatorServerTest, ClosesAnIdleConnectionRatherThanRefuseANewClient) {
    StartWith({.maxConnections = 4});
    const std::vector<std::unique_ptr<QTcpSocket>> idle = Hold(4);
    ASSERT_EQ(idle.size(), 4u);
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);
}

TEST_F(SpectatorServerTest, OneAddressHoldingAllItCanKeepsNoOtherClientWaiting) {
    // 127.0.0.1 opens connections, each with a request under way, as fast as
    // it can and again as they are closed; 127.0.0.2 to .21 are served meanwhile.
    std::vector<std::unique_ptr<QTcpSocket>> hostile;
    const auto holdMore = [&](int count) {
        for (auto& socket : Hold(count, "GET / HTTP/1.1\r\nX-Slow: "))
            hostile.push_back(std::move(socket));
    };
    holdMore(300);
    for (int client = 2; client <= 21; ++client) {
        holdMore(10);
        const QHostAddress from(QStringLiteral("127.0.0.%1").arg(client));
        QElapsedTimer clock;
        clock.start();
        const Reply reply =
            Exchange(port, Get("/race.json"), false, 2000, QHostAddress::LocalHost, from);
        EXPECT_EQ(reply.status, 200) << from.toString().toStdString();
        EXPECT_LT(clock.elapsed(), 1000) << from.toString().toStdString();
    }
    int held = 0;
    for (const auto& socket : hostile) {
        socket->waitForReadyRead(0);
        if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesAvailable() == 0)
            ++held;
    }
    EXPECT_LE(held, 32);  // its share of the slots
}

TEST_F(SpectatorServerTest, ListensExactlyAtTheAddressesAskedFor) {
    service = std::make_unique<SpectatorService>(race);
    ASSERT_TRUE(service->Start({"localhost", 0}).serving);
    port = service->Port();
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);
    EXPECT_EQ(Exchange(port, Get("/race.json"), false, 2000, QHostAddress::LocalHostIPv6).status,
              200);
    EXPECT_EQ(Exchange(port, Get("/race.json"), false, 2000, QHostAddress("127.0.0.2")).status,
              0);  // nobody listens there
    // An address that is none is refused, never taken for every address.
    for (const char* bad : {"127.0.0.1.5", "no such host", "999.1.1.1"})
        EXPECT_FALSE(service->Start({bad, 0}).serving) << bad;
}

TEST_F(SpectatorServerTest, RefusesWhatHttp11Refuses) {
    QByteArray manyHeaders;
    for (int i = 0; i < 101; ++i) manyHeaders += "X-H" + QByteArray::number(i) + ": v\r\n";
    const std::pair<QByteArray, int> cases[] = {
        {"GET /race.json HTTP/9.9\r\nHost: x\r\n\r\n", 505},
        {"GET /race.json HTTP/1.1\r\n\r\n", 400},  // no Host
        {"GET /race.json HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\n"
         "Content-Length: 2\r\n\r\nab",
         400},
        {"GET /race.json HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n", 400},
        {Get("/race.json", manyHeaders), 431},  // past the library's own count
    };
    for (const auto& [request, status] : cases) {
        const Reply reply = Exchange(port, request, true);
        EXPECT_EQ(reply.status, status) << request.left(40).toStdString();
        EXPECT_TRUE(reply.closed) << request.left(40).toStdString();
    }
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);
}

TEST_F(SpectatorServerTest, ClosesAfterTheAnswerForHttp10OrWhenAskedTo) {
    for (const QByteArray& request : {QByteArray("GET /race.json HTTP/1.0\r\n\r\n"),
                                      Get("/race.json", "Connection: close\r\n")}) {
        QElapsedTimer clock;
        clock.start();
        const Reply reply = Exchange(port, request, true);
        EXPECT_EQ(reply.status, 200) << request.toStdString();
        EXPECT_TRUE(reply.Has("Connection: close\r\n")) << request.toStdString();
        EXPECT_TRUE(reply.closed) << request.toStdString();
        EXPECT_LT(clock.elapsed(), 1000) << request.toStdString();
    }
}

TEST_F(SpectatorServerTest, LimitsEachPipelinedRequestNotAllThatArrivedTogether) {
    QByteArray pipelined;
    for (int i = 0; i < 40; ++i)
        pipelined += Get("/race.json", "X-Pad: " + QByteArray(500, 'p') + "\r\n");
    ASSERT_GT(pipelined.size(), ConnectionLimits{}.maxRequestBytes);
    QTcpSocket socket;
    ASSERT_TRUE(Connect(socket, port));
    socket.write(pipelined);
    QByteArray answers;
    while (answers.count("HTTP/1.1 200 ") < 40 && socket.waitForReadyRead(2000))
        answers += socket.readAll();
    EXPECT_EQ(answers.count("HTTP/1.1 200 "), 40);
    EXPECT_FALSE(answers.contains("HTTP/1.1 413"));
    // Each request was counted once: the next one is the one answered.
    socket.write(Get("/race.json", "Connection: close\r\n"));
    const Reply last = ReadReply(socket, 2000, true);
    EXPECT_TRUE(last.Has("Connection: close\r\n"));
    EXPECT_TRUE(last.closed);
}

TEST_F(SpectatorServerTest, AnswersThePipelinedRequestsAheadOfARefusedOneFirst) {
    QTcpSocket socket;
    ASSERT_TRUE(Connect(socket, port));
    socket.write(Get("/race.json") + Get("/") + "GET / HTTP/9.9\r\nHost: x\r\n\r\n" + Get("/"));
    const Reply replies = ReadReply(socket, 2000, true);
    const QByteArray all = replies.head + "\r\n" + replies.body;
    EXPECT_EQ(all.count("HTTP/1.1 200 "), 2);
    EXPECT_EQ(all.indexOf("HTTP/1.1 505 "), all.lastIndexOf("HTTP/1.1 "));  // last, once
    EXPECT_TRUE(replies.closed);
}

TEST_F(SpectatorServerTest, ClosesAClientThatDawdlesButKeepsOneThatReads) {
    StartWith({.requestDeadlineMs = 400});
    QTcpSocket slow;
    ASSERT_TRUE(Connect(slow, port));
    slow.write("GET / HTTP/1.1\r\nHo");  // and never more
    QTcpSocket reader;
    ASSERT_TRUE(Connect(reader, port));
    for (int i = 0; i < 6; ++i) {  // 600 ms of a request about every 100 ms
        reader.write(Get("/race.json"));
        EXPECT_EQ(ReadReply(reader).status, 200);
        QTest::qWait(100);
    }
    EXPECT_TRUE(slow.state() == QAbstractSocket::UnconnectedState ||
                slow.waitForDisconnected(1000));
    EXPECT_EQ(reader.state(), QAbstractSocket::ConnectedState);
}

TEST_F(SpectatorServerTest, SaysSoWhenThePortIsTaken) {
    RaceSnapshotSlot other;
    SpectatorService second(other);
    const auto started = second.Start({"127.0.0.1", port});
    EXPECT_FALSE(started.serving);
    EXPECT_TRUE(started.portInUse);
    EXPECT_EQ(Exchange(port, Get("/race.json")).status, 200);  // the first serves on
}

}  // namespace
}  // namespace palomind::testing
