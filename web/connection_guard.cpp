#include "web/connection_guard.h"

namespace palomind {

namespace {

// Answers written before the HTTP library has seen the request: the limits
// are breached by then, and the connection is closed after them.
constexpr char kServerBusy[] =
    "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
constexpr char kRequestTooLarge[] =
    "HTTP/1.1 413 Content Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

}  // namespace

// One client's connection: counts the bytes of the request in progress
// before the HTTP library reads them, and closes the connection at its
// deadline.
class GuardedTcpServer::Connection final : public QTcpSocket {
  public:
    explicit Connection(GuardedTcpServer& server)
        : QTcpSocket(&server), limits_(server.limits_), open_(server.open_) {
        ++*open_;
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, &QTcpSocket::abort);
        // Connected before the HTTP server connects its own handler, so the
        // bytes are counted (and refused) before it parses them.
        connect(this, &QTcpSocket::readyRead, this, &Connection::CountRequestBytes);
        RestartRequest();
    }
    ~Connection() override { --*open_; }

    void RestartRequest() {
        requestBytes_ = 0;
        deadline_.start(limits_.requestDeadlineMs);
    }

  private:
    void CountRequestBytes() {
        if (refused_) {
            skip(bytesAvailable());
            return;
        }
        requestBytes_ += bytesAvailable();
        if (requestBytes_ <= limits_.maxRequestBytes) return;
        refused_ = true;
        skip(bytesAvailable());  // the HTTP library never sees the oversized request
        write(kRequestTooLarge, sizeof kRequestTooLarge - 1);
        disconnectFromHost();
    }

    const ConnectionLimits limits_;
    std::shared_ptr<int> open_;
    QTimer deadline_;
    qint64 requestBytes_ = 0;
    bool refused_ = false;
};

GuardedTcpServer::GuardedTcpServer(ConnectionLimits limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {
    // The HTTP server takes each connection as it comes; the listening
    // socket must not stop accepting before the limit is reached.
    setMaxPendingConnections(limits_.maxConnections + 1);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* connection = new Connection(*this);
    if (!connection->setSocketDescriptor(descriptor)) {
        delete connection;
        return;
    }
    if (*open_ > limits_.maxConnections) {
        connection->write(kServerBusy, sizeof kServerBusy - 1);
        connection->disconnectFromHost();
        connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
        return;
    }
    addPendingConnection(connection);
}

bool GuardedTcpServer::RequestAnswered(QTcpSocket* socket) {
    auto* connection = dynamic_cast<Connection*>(socket);
    if (connection == nullptr) return true;
    if (connection->bytesToWrite() > limits_.maxUnsentBytes) {
        connection->abort();
        return false;
    }
    connection->RestartRequest();
    return true;
}

}  // namespace palomind
