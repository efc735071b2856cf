#include "app/receiver_reconnect.h"

namespace palomind {

void ReceiverReconnect::PortFailed(int portNumber) {
    portNumber_ = portNumber;
    // The first attempt comes a second after the failure: a device that has
    // just vanished is not back within milliseconds.
    lastAttempt_ = ticks_.TimeGetTime();
}

ReceiverReconnect::Result ReceiverReconnect::Poll() {
    if (portNumber_ == 0) return Result::Idle;
    if (port_.IsOpen()) {
        portNumber_ = 0;
        return Result::GaveWay;
    }
    const std::int32_t now = ticks_.TimeGetTime();
    // Unsigned difference: right across the tick counter's wrap.
    const auto elapsed = static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(lastAttempt_);
    if (elapsed < static_cast<std::uint32_t>(kRetryIntervalMs)) return Result::StillAway;
    lastAttempt_ = now;
    if (!port_.Open(portNumber_)) return Result::AttemptFailed;
    portNumber_ = 0;
    return Result::Reconnected;
}

std::string ReceiverLostText(int portNumber) {
    return "受信機との接続が切れました(COM" + std::to_string(portNumber) +
           ")。レースは続いています。受信機をつなぎ直すと自動で再接続します";
}

}  // namespace palomind
