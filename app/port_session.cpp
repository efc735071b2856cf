#include "app/port_session.h"

#include <utility>

namespace palomind {

PortSession::PortSession(SerialPort& port, SerialListener& listener, TickClock& ticks,
                         UserDialogs& dialogs, Owner owner)
    : port_(port), dialogs_(dialogs), owner_(std::move(owner)), reconnect_(port, ticks) {
    port_.SetListener(&listener);
}

PortSession::~PortSession() {
    port_.SetListener(nullptr);
    if (port_.IsOpen()) port_.Close();
}

bool PortSession::Select(int portNumber) {
    // The receiver is where the operator says now, whether this port opens
    // or not: the one that failed is no longer tried behind their back.
    reconnect_.Cancel();
    if (port_.IsOpen()) port_.Close();
    // The adapter sets the line (19200 baud, no parity, 8 data bits, 1 stop
    // bit, raw bytes, every waiting byte delivered) as it opens the port.
    if (!port_.Open(portNumber)) {
        // The race's port keeps its number: it is the one saved and tried at
        // the next start.
        Absent(portNumber);
        dialogs_.ShowMessage("通信ポートが開けません。(COM" + std::to_string(portNumber) +
                             ")\r\n他のポートをお試しください\r\n" +
                             PortDiagnosisLine(absence_->diagnosis));
        return false;
    }
    SetAbsence(std::nullopt);
    owner_.setPortNumber(static_cast<std::int16_t>(portNumber));
    owner_.note("serial port COM" + std::to_string(portNumber) + " opened (" +
                port_.DevicePath(portNumber) + ")");
    return true;
}

int PortSession::PortInUse() const {
    return port_.IsOpen() ? owner_.portNumber() : 0;
}

std::string PortSession::DevicePath(int portNumber) const {
    return port_.DevicePath(portNumber);
}

void PortSession::Failed() {
    reconnect_.PortFailed(owner_.portNumber());
    Absent(owner_.portNumber());
}

bool PortSession::Reconnected() {
    const ReceiverReconnect::Result result = reconnect_.Poll();
    if (result == ReceiverReconnect::Result::AttemptFailed) Absent(owner_.portNumber());
    if (result != ReceiverReconnect::Result::Reconnected) return false;
    SetAbsence(std::nullopt);
    const int port = owner_.portNumber();
    owner_.note("serial port COM" + std::to_string(port) + " reopened (" + port_.DevicePath(port) +
                ")");
    return true;
}

void PortSession::Absent(int portNumber) {
    SetAbsence(ReceiverAbsence{.portNumber = portNumber, .diagnosis = port_.Diagnose(portNumber)});
}

void PortSession::SetAbsence(std::optional<ReceiverAbsence> absence) {
    if (absence == absence_) return;
    absence_ = std::move(absence);
    if (owner_.absenceChanged) owner_.absenceChanged(absence_);
}

void PortSession::SetSimulationOn(bool on) {
    if (simulation_ != nullptr) simulation_->SetSimulationOn(on);
}

}  // namespace palomind
