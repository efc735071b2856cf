#pragma once
#include <string_view>

namespace palomind {

// Wave playback: starts the named file (a bare name, looked up in the current
// directory, then among the program's installed files) and returns at once. A newer sound cuts off
// the one still playing; a file that cannot be played gives the system's default sound. Failures
// are never reported back: the race goes on regardless.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void PlaySound(std::string_view fileName) = 0;
};

}  // namespace palomind
