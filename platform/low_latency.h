#pragma once
#include <functional>

namespace palomind {

// USB serial adapters hold received bytes back to fill a packet (FTDI's
// latency timer: up to 16 ms) unless the device is in low-latency mode. The
// lap time is the moment the bytes are read, so the port asks for that mode
// on every device it opens.
//
// The two ioctl calls are a seam: `serialIoctl(fd, request, serial_struct*)`
// behaves as ioctl(2) does. A device that refuses (a pseudo-terminal, a
// built-in UART driver without the flag) is used as it is, silently.
using SerialIoctl = std::function<int(int fd, unsigned long request, void* serial)>;

// The system's ioctl on Linux; elsewhere a call that refuses.
int SystemSerialIoctl(int fd, unsigned long request, void* serial);

// True when the device took the request.
bool RequestLowLatency(int fd, const SerialIoctl& serialIoctl = SystemSerialIoctl);

}  // namespace palomind
