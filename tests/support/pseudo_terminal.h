#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace palomind::testing {

// A pseudo-terminal pair standing in for a receiver: what the test sends on
// the controlling end arrives on the device, which the program opens.
class PseudoTerminal {
  public:
    PseudoTerminal();  // fails the test if no pair can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Path() const { return path_; }  // the device
    void Send(const std::vector<std::uint8_t>& bytes) const;
    // Lets go of the device end, so that only the program holds it, as with a
    // real adapter.
    void ReleaseDevice();
    // Closes the controlling end: the device is gone for whoever holds it.
    void Hangup();

  private:
    int controller_ = -1;
    int device_ = -1;
    std::string path_;
};

}  // namespace palomind::testing
