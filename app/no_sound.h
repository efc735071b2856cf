#pragma once
#include <string_view>

#include "platform/sound_player.h"

namespace palomind {

// Plays nothing: for a race core that replays a race only to read it.
class NoSound final : public SoundPlayer {
  public:
    void PlaySound(std::string_view) override {}
};

}  // namespace palomind
