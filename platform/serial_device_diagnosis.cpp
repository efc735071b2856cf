#include "platform/serial_device_diagnosis.h"

#include <algorithm>
#include <cerrno>

#if defined(__unix__)
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace palomind {

#if defined(__unix__)

namespace {

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    while (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found != nullptr ? std::string(found->gr_name) : std::to_string(gid);
}

// The permission bits as the kernel reads them for `user` (access control
// lists aside: a refused open below catches those).
bool MayRead(const struct stat& status, const DeviceUser& user) {
    if (user.uid == 0) return true;
    if (status.st_uid == user.uid) return (status.st_mode & S_IRUSR) != 0;
    const bool inGroup =
        std::find(user.groups.begin(), user.groups.end(), status.st_gid) != user.groups.end();
    if (inGroup) return (status.st_mode & S_IRGRP) != 0;
    return (status.st_mode & S_IROTH) != 0;
}

PortUnavailable FromOpenErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case EIO:  // a serial port's name without its hardware (/dev/ttyS3)
            return PortUnavailable::NotPresent;
        case EBUSY:
            return PortUnavailable::InUse;
        case EACCES:
        case EPERM:
            return PortUnavailable::NoPermission;
        default:
            return PortUnavailable::Unknown;
    }
}

}  // namespace

DeviceUser ThisProcessUser() {
    DeviceUser user{.uid = geteuid(), .groups = {getegid()}};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(count));
        const int got = getgroups(count, more.data());
        if (got > 0) user.groups.insert(user.groups.end(), more.begin(), more.begin() + got);
    }
    return user;
}

PortDiagnosis DiagnoseSerialDevice(const std::string& device, const DeviceUser& user) {
    PortDiagnosis diagnosis;
    diagnosis.device = device;
    struct stat status {};
    if (device.empty() || stat(device.c_str(), &status) != 0) {
        const int error = errno;
        diagnosis.reason = device.empty() || error == ENOENT || error == ENOTDIR || error == ELOOP
                               ? PortUnavailable::NotPresent
                           : error == EACCES ? PortUnavailable::NoPermission
                                             : PortUnavailable::Unknown;
        return diagnosis;
    }
    if (!MayRead(status, user)) {
        diagnosis.reason = PortUnavailable::NoPermission;
        diagnosis.group = GroupName(status.st_gid);
        return diagnosis;
    }
    if (!S_ISCHR(status.st_mode)) {
        diagnosis.reason = PortUnavailable::NotSerial;
        return diagnosis;
    }
    // Read-only, without waiting for a carrier, never becoming this
    // process's terminal; closed at once.
    const int fd = open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        diagnosis.reason = FromOpenErrno(errno);
        if (diagnosis.reason == PortUnavailable::NoPermission)
            diagnosis.group = GroupName(status.st_gid);
        return diagnosis;
    }
    const bool serial = isatty(fd) != 0;
    close(fd);
    diagnosis.reason = serial ? PortUnavailable::InUse : PortUnavailable::NotSerial;
    return diagnosis;
}

#else

DeviceUser ThisProcessUser() {
    return {};
}

PortDiagnosis DiagnoseSerialDevice(const std::string& device, const DeviceUser&) {
    PortDiagnosis diagnosis;
    diagnosis.device = device;
    return diagnosis;
}

#endif

}  // namespace palomind
