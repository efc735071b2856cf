#include "web/spectator_service.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QHostAddress>
#include <QMetaObject>

#include "web/spectator_server.h"

namespace palomind {

namespace {

// The server's thread yields to the window thread, where the receiver's
// passes are stamped: on a busy machine the phones wait, not the race.
constexpr int kServerNiceness = 5;

void LowerThisThreadsPriority() {
#ifdef __linux__
    // On Linux the niceness of a thread is its own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kServerNiceness);
#endif
}

}  // namespace

SpectatorService::SpectatorService(const RaceSnapshotSlot& race, ConnectionLimits limits)
    : race_(race), limits_(limits) {
    thread_.setObjectName(QStringLiteral("spectator server"));
}

SpectatorService::~SpectatorService() {
    Stop();
}

SpectatorService::StartResult SpectatorService::Start(const WebAddress& address) {
    Stop();
    thread_.start();
    auto* server = new SpectatorServer(race_, limits_);
    server->moveToThread(&thread_);
    const QHostAddress host = address.host.empty()
                                  ? QHostAddress(QHostAddress::Any)
                                  : QHostAddress(QString::fromStdString(address.host));
    bool listening = false;
    bool portInUse = false;
    QString error;
    std::uint16_t port = 0;
    // The listening socket must be made, and read, on the thread that serves it.
    QMetaObject::invokeMethod(
        server,
        [&] {
            LowerThisThreadsPriority();
            listening = server->Listen(host, address.port, error, portInUse);
            if (listening) port = server->Port();
        },
        Qt::BlockingQueuedConnection);
    if (!listening) {
        QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        return {false, portInUse, error.toStdString()};
    }
    server_ = server;
    port_ = port;
    return {true, false, {}};
}

void SpectatorService::Stop() {
    if (server_ != nullptr) {
        SpectatorServer* server = server_;
        server_ = nullptr;
        QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    }
    thread_.quit();
    thread_.wait();
    port_ = 0;
}

}  // namespace palomind
