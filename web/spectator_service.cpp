#include "web/spectator_service.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QHostAddress>
#include <QList>
#include <QMetaObject>
#include <optional>
#include <vector>

#include "web/spectator_server.h"

namespace palomind {

namespace {

// The server's thread yields to the window thread, which scores the
// receiver's passes and keeps the race window going: on a busy machine the
// phones wait, not the race.
constexpr int kServerNiceness = 5;

void LowerThisThreadsPriority() {
#ifdef __linux__
    // On Linux the niceness of a thread is its own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kServerNiceness);
#endif
}

// Exactly the addresses asked for: a host that is no address is refused,
// never taken for every address. Names are resolved by the caller, which may
// wait for the network; "localhost" needs no resolver.
std::optional<QList<QHostAddress>> ListenAddresses(const WebAddress& asked, std::string& error) {
    if (asked.host.empty()) return QList<QHostAddress>{QHostAddress(QHostAddress::Any)};
    std::optional<WebAddress> address = asked;
    if (asked.resolved.empty())
        address = ResolveWebAddress(
            asked, [](const std::string&) { return std::vector<std::string>{}; }, error);
    if (!address) return std::nullopt;
    QList<QHostAddress> hosts;
    for (const std::string& each :
         address->resolved.empty() ? std::vector{address->host} : address->resolved) {
        const QHostAddress host(QString::fromStdString(each));
        if (host.isNull()) {
            error = "\"" + each + "\" is no address";
            return std::nullopt;
        }
        hosts.push_back(host);
    }
    return hosts;
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
    std::string unresolved;
    const std::optional<QList<QHostAddress>> hosts = ListenAddresses(address, unresolved);
    if (!hosts) return {false, false, unresolved};
    thread_.start();
    auto* server = new SpectatorServer(race_, limits_);
    server->moveToThread(&thread_);
    bool listening = false;
    bool portInUse = false;
    QString error;
    std::uint16_t port = 0;
    // The listening socket must be made, and read, on the thread that serves it.
    QMetaObject::invokeMethod(
        server,
        [&] {
            LowerThisThreadsPriority();
            listening = server->Listen(*hosts, address.port, error, portInUse);
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
