#pragma once
#include <memory>
#include <string>

#include "tools/receiver_simulator/receiver_frames.h"

namespace palomind::simulator {

// Where the simulated receiver's bytes go: the master side of a new
// pseudo-terminal (the application opens its serial side like a serial port)
// or a device given by path. POSIX only.
class SerialOutput {
  public:
    ~SerialOutput();
    SerialOutput(const SerialOutput&) = delete;
    SerialOutput& operator=(const SerialOutput&) = delete;

    // Null with `error` set on failure.
    static std::unique_ptr<SerialOutput> OpenPseudoTerminal(std::string& error);
    static std::unique_ptr<SerialOutput> OpenDevice(const std::string& path, std::string& error);

    // The path the application opens: the serial side of the pseudo-terminal,
    // or the device.
    const std::string& Path() const { return path_; }

    // Writes the block; returns how many of its bytes went out. None when the
    // far end takes nothing (its buffer is full: nobody is reading), so the
    // block is lost as on a real line. A block once started is finished if
    // the far end takes the rest within a second; otherwise it is cut short.
    std::size_t Write(const Bytes& bytes);

  private:
    SerialOutput(int fd, int serialSideFd, std::string path);

    int fd_;
    int serialSideFd_;  // held open so the line survives the application closing its port
    std::string path_;
};

}  // namespace palomind::simulator
