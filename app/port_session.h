#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/receiver_absence.h"
#include "app/receiver_reconnect.h"
#include "app/receiver_simulation_switch.h"
#include "platform/serial_port.h"
#include "platform/tick_clock.h"
#include "platform/user_dialogs.h"

namespace palomind {

// The receiver's port for the whole run: which port is open, opening another
// in its place, bringing a failed one back, and whether it is simulated.
// The menu commands it and shows what it says; nothing else opens or closes
// the port. The session holds the port's listener from its construction to
// its end, when it lets the listener go (the port's stop handshake) and
// closes the port: whoever owns the session may then go, whatever the
// reader thread was doing.
class PortSession {
  public:
    // What the session tells its owner (the application).
    struct Owner {
        std::function<std::int16_t()> portNumber;         // the port the race names
        std::function<void(std::int16_t)> setPortNumber;  // a port was opened
        std::function<void(std::string_view)> note;       // a line for the journal
        // No port is open now, and why (nullopt: one is open again); told
        // whenever that changes.
        std::function<void(const std::optional<ReceiverAbsence>&)> absenceChanged;
    };

    PortSession(SerialPort& port, SerialListener& listener, TickClock& ticks, UserDialogs& dialogs,
                Owner owner);
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Closes the open port and opens `portNumber` in its place. True when it
    // opened; otherwise the operator has been told and no port is open.
    bool Select(int portNumber);
    // The port now open, 0 when none is.
    int PortInUse() const;
    // Why no port is open; nullopt while one is. Before any port was
    // chosen: port 0.
    const std::optional<ReceiverAbsence>& Absence() const { return absence_; }
    // The device behind port n (for the operator's messages).
    std::string DevicePath(int portNumber) const;

    // The open port failed: from now on it is tried again about once a
    // second (see ReceiverReconnect) until it is back or another is chosen.
    void Failed();
    // The 10 ms timer. True when this call opened the failed port again; an
    // attempt that failed looks at the device again (plugged back in, it
    // may now refuse this user).
    bool Reconnected();

    // The receiver simulation, where the program has one (it must outlive
    // the session). Turning it changes what the port reads once it is
    // opened again.
    void AttachSimulation(ReceiverSimulationSwitch& simulation) { simulation_ = &simulation; }
    bool CanSimulate() const { return simulation_ != nullptr; }
    bool SimulationOn() const { return simulation_ != nullptr && simulation_->SimulationOn(); }
    void SetSimulationOn(bool on);

  private:
    void SetAbsence(std::optional<ReceiverAbsence> absence);
    void Absent(int portNumber);

    SerialPort& port_;
    UserDialogs& dialogs_;
    Owner owner_;
    ReceiverReconnect reconnect_;
    ReceiverSimulationSwitch* simulation_ = nullptr;
    std::optional<ReceiverAbsence> absence_ = ReceiverAbsence{};
};

}  // namespace palomind
