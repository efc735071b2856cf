#pragma once
#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace palomind {

// Which transponders the receiver has seen since a heat was loaded: read
// from the bytes received as the race's decoder reads them while timing
// (the decoder itself reads nothing before the start).
class TransponderCheck final {
  public:
    // Starts again for a heat of these transponders.
    void Load(std::set<int> heat);
    void Received(std::span<const std::uint8_t> bytes);

    const std::set<int>& Heat() const { return heat_; }
    // The heat's transponders seen, and those seen that are not in the heat.
    const std::set<int>& SeenInHeat() const { return seenInHeat_; }
    const std::set<int>& Strangers() const { return strangers_; }

  private:
    void Seen(int id);

    std::set<int> heat_;
    std::set<int> seenInHeat_;
    std::set<int> strangers_;
    int syncs_ = 0;
    std::vector<std::uint8_t> frame_;
};

}  // namespace palomind
