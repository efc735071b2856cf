#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace palomind::simulator {

// Standard input as the simulator's tie to whoever started it: a start line
// can be read from it, and its closing (the starter exited, even by a crash)
// tells the simulator to end. POSIX only.
class StdinWatch {
  public:
    // Reads one line (without its end). Nothing when input closes first.
    std::optional<std::string> ReadLine();

    // Sleeps until `deadlineNanos` on the monotonic clock. With `watchClose`,
    // returns false as soon as standard input is closed (anything read on it
    // is dropped).
    bool SleepUntil(std::int64_t deadlineNanos, bool watchClose);

    // Waits until standard input closes.
    void WaitForClose();

    bool Closed() const { return closed_; }

  private:
    // Waits up to `millis` for input; false once input is closed.
    bool PollFor(int millis);
    bool closed_ = false;
};

}  // namespace palomind::simulator
