#pragma once
#include <string>

#include "platform/serial_device_enumerator.h"

namespace palomind {

// The serial devices the system reports (Qt's serial port info), each with
// its link in `byIdFolder` where udev made one.
class QtSerialDeviceEnumerator final : public SerialDeviceEnumerator {
  public:
    explicit QtSerialDeviceEnumerator(std::string byIdFolder = "/dev/serial/by-id");
    std::vector<SerialDevice> Devices() override;

  private:
    std::string byIdFolder_;
};

}  // namespace palomind
