#pragma once
#include <cstdint>
#include <string>

#include "platform/serial_port.h"
#include "platform/tick_clock.h"

namespace palomind {

// Brings the receiver back after its port failed during a run (a USB
// receiver pulled out: the port closed itself and said so once). From then
// on Poll, called from the 10 ms timer, tries to open the same port again
// about once a second, silently, until it opens; the race goes on meanwhile.
// Once any port is open again (the operator picked one) it stops trying.
class ReceiverReconnect {
  public:
    ReceiverReconnect(SerialPort& port, TickClock& ticks) : port_(port), ticks_(ticks) {}

    // The open port `portNumber` failed.
    void PortFailed(int portNumber);
    // The operator picked a port (whether it opened or not): the receiver is
    // where the operator says now, and the port that failed is left alone.
    void Cancel() { portNumber_ = 0; }

    // What happened on this call of the timer.
    enum class Result { Idle, StillAway, AttemptFailed, Reconnected, GaveWay };
    // Idle: nothing to do. StillAway: waiting for the next attempt.
    // AttemptFailed: this attempt did not open the port (it may have
    // failed otherwise than before: look again).
    // Reconnected: this attempt opened the port. GaveWay: a port was opened
    // otherwise (the operator's choice), so the attempts end.
    Result Poll();

    bool Waiting() const { return portNumber_ != 0; }

    // One attempt about every second: often enough that a receiver plugged
    // back in counts the next pass, rarely enough that a missing device costs
    // nothing (each attempt is one failing open).
    static constexpr std::int32_t kRetryIntervalMs = 1000;

  private:
    SerialPort& port_;
    TickClock& ticks_;
    int portNumber_ = 0;  // 0: not waiting
    std::int32_t lastAttempt_ = 0;
};

// What the window shows while the receiver is away, once: the race goes on
// and the port comes back by itself.
std::string ReceiverLostText(int portNumber);

}  // namespace palomind
