#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace palomind {

// Who opens the device: the permission bits are read for this user.
struct DeviceUser {
    uid_t uid = 0;
    std::vector<gid_t> groups;  // the primary group and the supplementary ones
};

// This process's effective user and groups.
DeviceUser ThisProcessUser();

// Why `device` does not open as a receiver's port for `user`, from its stat
// (missing, not readable for the user and the group that could read it, not
// a character device) and, where that says nothing, from the errno of
// opening it once without waiting. A device that opens then is held by
// another program (the port's own open takes a lock on it).
PortDiagnosis DiagnoseSerialDevice(const std::string& device, const DeviceUser& user);

}  // namespace palomind
