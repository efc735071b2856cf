#pragma once
#include <QThread>
#include <cstdint>
#include <string>

#include "web/connection_guard.h"
#include "web/race_snapshot_slot.h"
#include "web/web_address.h"

namespace palomind {

class SpectatorServer;

// The spectators' web server on a thread of its own, so that no client can
// hold up the window thread, where the race is processed. Owned and driven
// from the window thread.
class SpectatorService {
  public:
    explicit SpectatorService(const RaceSnapshotSlot& race, ConnectionLimits limits = {});
    ~SpectatorService();
    SpectatorService(const SpectatorService&) = delete;
    SpectatorService& operator=(const SpectatorService&) = delete;

    struct StartResult {
        bool serving = false;
        bool portInUse = false;  // another program has the port
        std::string error;       // why it cannot serve, for the log or the operator
    };
    // Starts serving at the address (the port in use is replaced). Waits only
    // for the server's thread to open the port.
    StartResult Start(const WebAddress& address);
    void Stop();
    bool IsRunning() const { return server_ != nullptr; }
    // The port being served (the one chosen when asked for port 0).
    std::uint16_t Port() const { return port_; }

  private:
    const RaceSnapshotSlot& race_;
    ConnectionLimits limits_;
    QThread thread_;
    SpectatorServer* server_ = nullptr;  // lives on thread_
    std::uint16_t port_ = 0;
};

}  // namespace palomind
