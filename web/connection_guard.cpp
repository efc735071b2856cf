#include "web/connection_guard.h"

#include <QHash>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "web/request_framing.h"

namespace palomind {

namespace {

const char* StatusText(int status) {
    switch (status) {
        case 400:
            return "Bad Request";
        case 413:
            return "Content Too Large";
        case 431:
            return "Request Header Fields Too Large";
        case 501:
            return "Not Implemented";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Error";
    }
}

// An answer written before the HTTP library has seen the request: the
// connection is closed after it.
QByteArray PlainRefusal(int status, const char* reason) {
    const QByteArray body(reason);
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + StatusText(status) +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// The client an address stands for: an IPv4 client reached over an IPv6
// socket is the same client as over an IPv4 one.
QHostAddress ClientOf(const QHostAddress& peer) {
    bool ipv4 = false;
    const quint32 address = peer.toIPv4Address(&ipv4);
    return ipv4 ? QHostAddress(address) : QHostAddress(peer.toIPv6Address());
}

}  // namespace

class GuardedConnection;

class ConnectionBook {
  public:
    explicit ConnectionBook(const ConnectionLimits& shared) : limits(shared) {}

    void Admit(GuardedConnection* connection) { open_.push_back(connection); }
    void Forget(GuardedConnection* connection) {
        open_.erase(std::remove(open_.begin(), open_.end(), connection), open_.end());
    }
    // Whether a connection from the client may open: a slot is free in its
    // share and in the server's, or an idle connection was closed to free it.
    bool MakeRoomFor(const QHostAddress& client);
    std::uint64_t NextIdleMark() { return ++idleClock_; }

    const ConnectionLimits limits;

  private:
    // Closes the connection idle longest: of the client when given, else of
    // the address that holds the most connections.
    bool CloseIdle(const QHostAddress* client);

    std::vector<GuardedConnection*> open_;
    std::uint64_t idleClock_ = 0;
};

// One client's connection: frames its requests before the HTTP library reads
// them, and closes the connection at its deadline.
class GuardedConnection final : public QTcpSocket {
  public:
    GuardedConnection(std::shared_ptr<ConnectionBook> book, QObject* parent)
        : QTcpSocket(parent),
          book_(std::move(book)),
          framer_({book_->limits.maxRequestBytes, book_->limits.maxHeaders}),
          idleMark_(book_->NextIdleMark()) {
        deadline_.setSingleShot(true);
        // After a request it cannot parse, the HTTP library disconnects
        // every signal of the socket and forgets it: the deadline then
        // frees its slot and the socket itself.
        connect(&deadline_, &QTimer::timeout, this, [this] {
            abort();
            book_->Forget(this);
            deleteLater();
        });
        // Connected before the HTTP server connects its own handler, so the
        // bytes are framed (and refused) before it parses them.
        connect(this, &QTcpSocket::readyRead, this, &GuardedConnection::Frame);
        forgetOnDisconnect_ =
            connect(this, &QTcpSocket::disconnected, this, [this] { book_->Forget(this); });
        deadline_.start(book_->limits.requestDeadlineMs);
    }
    ~GuardedConnection() override {
        // The socket's own destructor still emits disconnected(), when this
        // object's members (the book among them) are gone: our handler must
        // not answer it then. (The HTTP library's handlers stay: they free
        // what it keeps per socket.)
        disconnect(forgetOnDisconnect_);
        book_->Forget(this);
    }

    QHostAddress client;

    // No request is in progress or waiting for its answer.
    bool Idle() const {
        return state() == ConnectedState && framer_.BetweenRequests() && pending_.empty() &&
               refusalBehind_.isEmpty() && bytesToWrite() == 0;
    }
    std::uint64_t IdleMark() const { return idleMark_; }

    void Refuse(int status, const char* reason) {
        refused_ = true;
        write(PlainRefusal(status, reason));
        disconnectFromHost();
    }

    AnswerPlan Begin() {
        // The library has read this request and nothing after it.
        framedUnread_ = bytesAvailable();
        if (pending_.empty() || state() != ConnectedState) return AnswerPlan::Drop;
        if (bytesToWrite() > book_->limits.maxUnsentBytes) {
            abort();  // the client has stopped reading its answers
            return AnswerPlan::Drop;
        }
        const RequestVerdict verdict = pending_.front();
        pending_.pop_front();
        deadline_.start(book_->limits.requestDeadlineMs);  // the next request's
        return verdict.closeAfter ? AnswerPlan::AnswerAndClose : AnswerPlan::Answer;
    }

    void End(AnswerPlan plan) {
        if (pending_.empty() && !refusalBehind_.isEmpty()) {
            write(refusalBehind_);
            refusalBehind_.clear();
            refused_ = true;
            disconnectFromHost();
        } else if (plan == AnswerPlan::AnswerAndClose) {
            disconnectFromHost();
        } else if (pending_.empty()) {
            idleMark_ = book_->NextIdleMark();
        }
    }

  private:
    // The HTTP library reads one request a time and leaves what follows in
    // the socket's buffer, reading it again when it asks itself for more;
    // so the bytes framed already, at the front of the buffer, are told
    // from new ones by their count.
    void Frame() {
        const qint64 available = bytesAvailable();
        // A request it has begun, the library holds in a transaction: it has
        // read every byte framed before.
        if (isTransactionStarted()) framedUnread_ = 0;
        const qint64 fresh = std::max<qint64>(0, available - framedUnread_);
        if (refused_ || (framer_.Stopped() && pending_.empty())) {
            skip(available);  // past the last request: the HTTP library never sees it
            framedUnread_ = 0;
            return;
        }
        framedUnread_ = available;
        if (fresh == 0 || framer_.Stopped()) return;
        const QByteArray bytes = peek(available).right(fresh);
        for (const RequestVerdict& verdict : framer_.Feed(
                 std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
            if (verdict.refusal == 0) {
                pending_.push_back(verdict);
            } else if (pending_.empty()) {
                skip(available);  // the HTTP library never sees the refused request
                framedUnread_ = 0;
                Refuse(verdict.refusal, verdict.reason);
                return;
            } else {
                // Requests ahead of it are answered first.
                refusalBehind_ = PlainRefusal(verdict.refusal, verdict.reason);
            }
        }
    }

    std::shared_ptr<ConnectionBook> book_;
    RequestFramer framer_;
    std::deque<RequestVerdict> pending_;  // framed, not yet answered
    QByteArray refusalBehind_;
    QMetaObject::Connection forgetOnDisconnect_;
    QTimer deadline_;
    std::uint64_t idleMark_;
    qint64 framedUnread_ = 0;  // at the buffer's front, framed, not read by the library
    bool refused_ = false;
};

bool ConnectionBook::MakeRoomFor(const QHostAddress& client) {
    const auto ofClient =
        std::count_if(open_.begin(), open_.end(),
                      [&](const GuardedConnection* each) { return each->client == client; });
    if (ofClient >= limits.maxConnectionsPerAddress) return CloseIdle(&client);
    if (static_cast<int>(open_.size()) >= limits.maxConnections) return CloseIdle(nullptr);
    return true;
}

bool ConnectionBook::CloseIdle(const QHostAddress* client) {
    QHash<QHostAddress, int> held;
    for (const GuardedConnection* each : open_) ++held[each->client];
    GuardedConnection* chosen = nullptr;
    for (GuardedConnection* each : open_) {
        if (!each->Idle() || (client != nullptr && each->client != *client)) continue;
        if (chosen == nullptr || held[each->client] > held[chosen->client] ||
            (held[each->client] == held[chosen->client] && each->IdleMark() < chosen->IdleMark()))
            chosen = each;
    }
    if (chosen == nullptr) return false;
    Forget(chosen);
    chosen->abort();
    return true;
}

GuardedTcpServer::GuardedTcpServer(std::shared_ptr<ConnectionBook> book, QObject* parent)
    : QTcpServer(parent), book_(std::move(book)) {
    // The HTTP server takes each connection as it comes; the listening
    // socket must not stop accepting before the limit is reached.
    setMaxPendingConnections(book_->limits.maxConnections + 1);
}

std::shared_ptr<ConnectionBook> GuardedTcpServer::NewBook(const ConnectionLimits& limits) {
    return std::make_shared<ConnectionBook>(limits);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* connection = new GuardedConnection(book_, this);
    if (!connection->setSocketDescriptor(descriptor)) {
        delete connection;
        return;
    }
    connection->client = ClientOf(connection->peerAddress());
    if (!book_->MakeRoomFor(connection->client)) {
        connection->Refuse(503, "the server is busy\n");
        connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
        return;
    }
    book_->Admit(connection);
    addPendingConnection(connection);
}

AnswerPlan GuardedTcpServer::BeginAnswer(QTcpSocket* socket) {
    auto* connection = dynamic_cast<GuardedConnection*>(socket);
    return connection == nullptr ? AnswerPlan::Answer : connection->Begin();
}

void GuardedTcpServer::EndAnswer(QTcpSocket* socket, AnswerPlan plan) {
    if (auto* connection = dynamic_cast<GuardedConnection*>(socket)) connection->End(plan);
}

}  // namespace palomind
