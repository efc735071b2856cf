#include "tests/support/pseudo_terminal.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

namespace palomind::testing {

namespace {

void CloseOnce(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (openpty(&controller_, &device_, name, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return;
    }
    path_ = name;
}

PseudoTerminal::~PseudoTerminal() {
    ReleaseDevice();
    Hangup();
}

void PseudoTerminal::Send(const std::vector<std::uint8_t>& bytes) const {
    ASSERT_EQ(write(controller_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void PseudoTerminal::ReleaseDevice() {
    CloseOnce(device_);
}

void PseudoTerminal::Hangup() {
    CloseOnce(controller_);
}

}  // namespace palomind::testing
