#include "platform/low_latency.h"

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace palomind {

int SystemSerialIoctl(int fd, unsigned long request, void* serial) {
#if defined(__linux__)
    return ::ioctl(fd, request, serial);
#else
    (void)fd;
    (void)request;
    (void)serial;
    return -1;
#endif
}

bool RequestLowLatency(int fd, const SerialIoctl& serialIoctl) {
#if defined(__linux__)
    serial_struct serial{};
    if (serialIoctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0) return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return serialIoctl(fd, TIOCSSERIAL, &serial) == 0;
#else
    (void)fd;
    (void)serialIoctl;
    return false;
#endif
}

}  // namespace palomind
