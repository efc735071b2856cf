#pragma once
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace palomind {

// What one client may ask of the spectators' server. The HTTP library keeps
// no limits of its own, so the server's sockets are made here.
struct ConnectionLimits {
    int maxConnections = 256;
    // A share of those one client address may hold, so that one client
    // cannot keep the others out.
    int maxConnectionsPerAddress = 32;
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

// How the server goes on once the HTTP library hands it a request.
enum class AnswerPlan {
    Answer,          // answer, and keep the connection for the next request
    AnswerAndClose,  // answer, then close (HTTP/1.0, "Connection: close")
    Drop,            // write nothing: the connection is closed or closing
};

// The connections of every listening socket of one server, and the limits
// they share. On the server's thread.
class ConnectionBook;

// A listening socket of the spectators' server: it admits a connection while
// the server and the client's address have a free share of the slots,
// closing an idle connection to make room rather than refusing, and watches
// each connection for its size and time limits. A request the limits or
// HTTP/1.1 refuse is answered with a plain error before the HTTP library
// sees it, and its connection closed.
class GuardedTcpServer final : public QTcpServer {
    Q_OBJECT
  public:
    GuardedTcpServer(std::shared_ptr<ConnectionBook> book, QObject* parent);
    static std::shared_ptr<ConnectionBook> NewBook(const ConnectionLimits& limits);

    // The HTTP library hands the server the next request of this socket.
    static AnswerPlan BeginAnswer(QTcpSocket* socket);
    // The answer is written: what was refused behind it in the same bytes is
    // answered, and the connection is closed when its plan said so.
    static void EndAnswer(QTcpSocket* socket, AnswerPlan plan);

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    // Shared with the connections: the HTTP server may delete them after
    // this listening socket.
    std::shared_ptr<ConnectionBook> book_;
};

}  // namespace palomind
