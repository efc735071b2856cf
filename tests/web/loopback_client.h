#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

namespace palomind::testing {

// What a client on loopback got back for the bytes it sent.
struct Reply {
    int status = 0;  // 0: no answer
    QByteArray head;
    QByteArray body;
    bool closed = false;  // the server closed the connection
    bool Has(const char* header) const { return head.contains(header); }
};

// Splits what arrived into the status line and headers, and the body.
inline Reply ParseReply(const QByteArray& bytes, bool closed) {
    Reply reply;
    reply.closed = closed;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (!bytes.startsWith("HTTP/1.1 ") || end < 0) return reply;
    reply.status = bytes.mid(9, 3).toInt();
    reply.head = bytes.left(end + 2);
    reply.body = bytes.mid(end + 4);
    return reply;
}

// Whether the bytes hold a whole answer: its head, and as much body as its
// Content-Length says (none when it says nothing).
inline bool Complete(const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0) return false;
    const qsizetype at = bytes.indexOf("Content-Length: ");
    if (at < 0 || at > end) return true;
    const qsizetype length = bytes.mid(at + 16, bytes.indexOf("\r\n", at) - at - 16).toLongLong();
    return bytes.size() - end - 4 >= length;
}

// Reads one answer; with `untilClosed`, on until the server closes the
// connection. Gives up after `quietMs` without a byte.
inline Reply ReadReply(QTcpSocket& socket, int quietMs = 2000, bool untilClosed = false) {
    QByteArray bytes;
    while ((untilClosed || !Complete(bytes)) && socket.waitForReadyRead(quietMs))
        bytes += socket.readAll();
    bytes += socket.readAll();
    return ParseReply(bytes, socket.state() == QAbstractSocket::UnconnectedState);
}

// From `from` (any loopback address: 127.0.0.0/8 is all this machine's) to
// the server at `to`.
inline bool Connect(QTcpSocket& socket, quint16 port,
                    const QHostAddress& to = QHostAddress::LocalHost,
                    const QHostAddress& from = {}) {
    if (!from.isNull() && !socket.bind(from)) return false;
    socket.connectToHost(to, port);
    return socket.waitForConnected(2000);
}

// One request on a connection of its own.
inline Reply Exchange(quint16 port, const QByteArray& request, bool untilClosed = false,
                      int quietMs = 2000, const QHostAddress& to = QHostAddress::LocalHost,
                      const QHostAddress& from = {}) {
    QTcpSocket socket;
    if (!Connect(socket, port, to, from)) return {};
    socket.write(request);
    socket.waitForBytesWritten(2000);
    return ReadReply(socket, quietMs, untilClosed);
}

inline QByteArray Get(const QByteArray& path, const QByteArray& extra = {}) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

}  // namespace palomind::testing
