#include "tools/receiver_simulator/serial_output.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace palomind::simulator {

namespace {

// How long a half-written block may wait for the far end to take the rest.
constexpr int kFinishBlockTimeoutMs = 1000;

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Raw 8N1 at 19200 baud: no translation of any byte, no echo back.
bool MakeRawLine(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    settings.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

SerialOutput::SerialOutput(int fd, int serialSideFd, std::string path)
    : fd_(fd), serialSideFd_(serialSideFd), path_(std::move(path)) {}

SerialOutput::~SerialOutput() {
    if (serialSideFd_ >= 0) close(serialSideFd_);
    close(fd_);
}

std::unique_ptr<SerialOutput> SerialOutput::OpenPseudoTerminal(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) {
        error = SystemError("cannot open a pseudo-terminal");
        return nullptr;
    }
    const char* name = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr) {
        error = SystemError("cannot prepare the pseudo-terminal");
        close(master);
        return nullptr;
    }
    std::string path = name;
    // Holding the serial side open keeps the pseudo-terminal alive while the
    // application closes and reopens its port, and keeps the raw settings.
    const int serialSide = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (serialSide < 0 || !MakeRawLine(serialSide)) {
        error = SystemError("cannot set up " + path);
        if (serialSide >= 0) close(serialSide);
        close(master);
        return nullptr;
    }
    return std::unique_ptr<SerialOutput>(new SerialOutput(master, serialSide, std::move(path)));
}

std::unique_ptr<SerialOutput> SerialOutput::OpenDevice(const std::string& path,
                                                       std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = SystemError("cannot open " + path);
        return nullptr;
    }
    // A real serial port is set to the receiver's line; a pipe or file is
    // written as it is.
    if (isatty(fd) && !MakeRawLine(fd)) {
        error = SystemError("cannot set up " + path);
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<SerialOutput>(new SerialOutput(fd, -1, path));
}

std::size_t SerialOutput::Write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return done;
        if (done == 0) return 0;  // nobody is taking bytes: the block is lost
        pollfd writable{fd_, POLLOUT, 0};
        if (poll(&writable, 1, kFinishBlockTimeoutMs) <= 0) return done;
    }
    return done;
}

}  // namespace palomind::simulator
