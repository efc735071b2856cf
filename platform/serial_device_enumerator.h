#pragma once
#include <string>
#include <vector>

namespace palomind {

// A serial device present on this computer, as the operator picks it for a
// port.
struct SerialDevice {
    std::string name;          // "ttyUSB0"
    std::string systemPath;    // "/dev/ttyUSB0"; changes when it is plugged in elsewhere
    std::string description;   // "FT232R USB UART"; may be empty
    std::string manufacturer;  // may be empty
    std::string serialNumber;  // may be empty
    // The link under /dev/serial/by-id that names this very adapter, so an
    // assignment survives replugging; empty where there is none.
    std::string byIdPath;

    // The path to store for an assignment: the stable one where there is one.
    const std::string& PreferredPath() const { return byIdPath.empty() ? systemPath : byIdPath; }
};

// Lists the serial devices present now. Asked again whenever the list may
// have changed (a device plugged in or out).
class SerialDeviceEnumerator {
  public:
    virtual ~SerialDeviceEnumerator() = default;
    virtual std::vector<SerialDevice> Devices() = 0;
};

}  // namespace palomind
