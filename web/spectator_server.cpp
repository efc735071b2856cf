#include "web/spectator_server.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <vector>

#include "documents/page_assets.h"
#include "documents/race_json.h"

namespace palomind {

namespace {

using Status = QHttpServerResponder::StatusCode;

struct Answer {
    Status status = Status::Ok;
    QByteArray contentType;
    QByteArray body;
    QByteArray etag;
};

Answer Plain(Status status, const char* text) {
    return {status, "text/plain; charset=utf-8", QByteArray(text), {}};
}

// Written through the library's responder; a HEAD request gets the headers
// of the same answer without its body.
void Respond(QHttpServerResponder& responder, const Answer& answer, bool withBody, bool closing) {
    responder.writeStatusLine(answer.status);
    if (answer.status != Status::NotModified) {
        responder.writeHeader("Content-Type", answer.contentType);
        responder.writeHeader("Content-Length", QByteArray::number(answer.body.size()));
    }
    responder.writeHeader("Cache-Control", "no-cache");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    // The page's own inline style and script, and its own data; nothing else.
    responder.writeHeader("Content-Security-Policy",
                          "default-src 'none'; style-src 'unsafe-inline'; "
                          "script-src 'unsafe-inline'; connect-src 'self'; img-src 'self'");
    if (!answer.etag.isEmpty()) responder.writeHeader("ETag", answer.etag);
    if (answer.status == Status::MethodNotAllowed) responder.writeHeader("Allow", "GET, HEAD");
    if (closing) responder.writeHeader("Connection", "close");
    responder.writeBody(withBody ? answer.body : QByteArray());
}

}  // namespace

SpectatorServer::SpectatorServer(const RaceSnapshotSlot& race, ConnectionLimits limits,
                                 QObject* parent)
    : QAbstractHttpServer(parent), race_(race), connections_(GuardedTcpServer::NewBook(limits)) {}

bool SpectatorServer::Listen(const QList<QHostAddress>& addresses, quint16 port, QString& error,
                             bool& portInUse) {
    // A free port found at the first address may be taken at the next: a
    // few more tries then.
    constexpr int kTriesForAnyPort = 8;
    for (int attempt = 0; attempt < (port == 0 ? kTriesForAnyPort : 1); ++attempt) {
        std::vector<std::unique_ptr<GuardedTcpServer>> listening;
        quint16 chosen = port;
        for (const QHostAddress& address : addresses) {
            auto socket = std::make_unique<GuardedTcpServer>(connections_, nullptr);
            if (!socket->listen(address, chosen)) {
                error = address.toString() + QStringLiteral(": ") + socket->errorString();
                portInUse = socket->serverError() == QAbstractSocket::AddressInUseError;
                break;
            }
            chosen = socket->serverPort();
            listening.push_back(std::move(socket));
        }
        if (listening.size() != static_cast<std::size_t>(addresses.size())) {
            if (!portInUse) return false;
            continue;
        }
        for (auto& socket : listening) {
            socket->setParent(this);
            bind(socket.release());
        }
        port_ = chosen;
        portInUse = false;
        return true;
    }
    return false;
}

quint16 SpectatorServer::Port() const {
    return port_;
}

void SpectatorServer::RefreshJson() {
    const RaceSnapshotSlot::Snapshot latest = race_.Latest();
    if (latest.window == nullptr || latest.sequence == jsonSequence_) return;
    const std::string json =
        RaceJson(*latest.window, latest.result ? *latest.result : ExactResult{}, latest.lastPass);
    json_ = QByteArray(json.data(), static_cast<qsizetype>(json.size()));
    jsonTag_ = '"' + QByteArray::number(static_cast<qulonglong>(latest.sequence)) + '"';
    jsonSequence_ = latest.sequence;
}

bool SpectatorServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    // The connection's guard has framed the request and refused what it must.
    const AnswerPlan plan = GuardedTcpServer::BeginAnswer(socket);
    if (plan == AnswerPlan::Drop) return true;
    const QHttpServerRequest::Method method = request.method();
    const bool head = method == QHttpServerRequest::Method::Head;
    const QString path = request.url().path();

    Answer answer;
    if (method != QHttpServerRequest::Method::Get && !head) {
        answer = Plain(Status::MethodNotAllowed, "only GET and HEAD\n");
    } else if (path == QLatin1String("/") || path == QLatin1String("/index.html")) {
        answer = {Status::Ok,
                  "text/html; charset=utf-8",
                  QByteArray::fromRawData(kSpectatorPageHtml.data(),
                                          static_cast<qsizetype>(kSpectatorPageHtml.size())),
                  {}};
    } else if (path == QLatin1String("/race.json")) {
        RefreshJson();
        if (json_.isEmpty()) {
            answer = Plain(Status::ServiceUnavailable, "no race yet\n");
        } else if (request.value("If-None-Match") == jsonTag_) {
            answer = {Status::NotModified, {}, {}, jsonTag_};
        } else {
            answer = {Status::Ok, "application/json", json_, jsonTag_};
        }
    } else {
        answer = Plain(Status::NotFound, "not found\n");
    }
    {
        QHttpServerResponder responder = makeResponder(request, socket);
        Respond(responder, answer, !head && answer.status != Status::NotModified,
                plan == AnswerPlan::AnswerAndClose);
    }
    GuardedTcpServer::EndAnswer(socket, plan);
    return true;
}

void SpectatorServer::missingHandler(const QHttpServerRequest&, QTcpSocket*) {
    // Never reached: handleRequest answers every request.
}

}  // namespace palomind
