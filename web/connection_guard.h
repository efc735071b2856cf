#pragma once
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace palomind {

// What one client may ask of the spectators' server. The HTTP library keeps
// no limits of its own, so the server's sockets are made here.
struct ConnectionLimits {
    int maxConnections = 256;
    // Bytes a client may send for one request, request line, headers and
    // body together.
    qint64 maxRequestBytes = 16 * 1024;
    int maxHeaders = 64;
    // A connection must finish each request within this time of opening or
    // of its last answer; an idle or dawdling client is closed.
    int requestDeadlineMs = 10'000;
    // A client that does not read its answers is closed once this much waits
    // to be sent to it.
    qint64 maxUnsentBytes = 8 * 1024 * 1024;
};

// The listening socket of the spectators' server: it opens at most
// `maxConnections` connections and watches each for its size and time limits,
// answering the first breach with a plain error and closing the connection.
// All on the server's own thread.
class GuardedTcpServer final : public QTcpServer {
    Q_OBJECT
  public:
    explicit GuardedTcpServer(ConnectionLimits limits, QObject* parent = nullptr);

    const ConnectionLimits& Limits() const { return limits_; }
    // The server has answered a request on this socket: the next request
    // starts with an empty byte count and a fresh deadline. False when the
    // client has stopped reading its answers (the connection is then closed).
    bool RequestAnswered(QTcpSocket* socket);

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    class Connection;
    friend class Connection;

    ConnectionLimits limits_;
    // Shared with the connections: the HTTP server may delete them after
    // this listening socket.
    std::shared_ptr<int> open_ = std::make_shared<int>(0);
};

}  // namespace palomind
