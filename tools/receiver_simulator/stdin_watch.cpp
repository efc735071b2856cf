#include "tools/receiver_simulator/stdin_watch.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "tools/receiver_simulator/monotonic_time.h"

namespace palomind::simulator {

namespace {
// Waits longer than this are spent in poll, which wakes to the millisecond
// only; the last stretch is slept precisely.
constexpr std::int64_t kPreciseSleepNanos = 2'000'000;
constexpr int kLongestPollMs = 200;
}  // namespace

std::optional<std::string> StdinWatch::ReadLine() {
    std::string line;
    char c = 0;
    while (true) {
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            closed_ = true;
            return std::nullopt;
        }
        if (c == '\n') return line;
        line += c;
    }
}

bool StdinWatch::PollFor(int millis) {
    if (closed_) return false;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&input, 1, millis);
    if (ready <= 0) return true;  // timeout (or a signal): still open
    char buffer[256];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) closed_ = true;
    return !closed_;
}

bool StdinWatch::SleepUntil(std::int64_t deadlineNanos, bool watchClose) {
    while (true) {
        const std::int64_t remaining = deadlineNanos - MonotonicNanos();
        if (remaining <= 0) return true;
        if (watchClose && remaining > kPreciseSleepNanos) {
            const auto millis = std::min<std::int64_t>(
                (remaining - kPreciseSleepNanos) / 1'000'000 + 1, kLongestPollMs);
            if (!PollFor(static_cast<int>(millis))) return false;
            continue;
        }
        std::this_thread::sleep_for(std::chrono::nanoseconds(remaining));
    }
}

void StdinWatch::WaitForClose() {
    while (PollFor(kLongestPollMs)) {
    }
}

}  // namespace palomind::simulator
