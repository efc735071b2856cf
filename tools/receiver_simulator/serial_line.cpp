#include "tools/receiver_simulator/serial_line.h"

namespace palomind::simulator {

SerialLine::SerialLine(std::int64_t idleFromNanos) : busySince_(idleFromNanos) {}

std::int64_t SerialLine::IdleFrom() const {
    return busySince_ + LineNanos(bytesSince_);
}

std::int64_t SerialLine::Carry(std::int64_t wantedNanos, std::size_t bytes) {
    if (wantedNanos > IdleFrom()) {
        busySince_ = wantedNanos;
        bytesSince_ = 0;
    }
    bytesSince_ += static_cast<std::int64_t>(bytes);
    return IdleFrom();
}

}  // namespace palomind::simulator
