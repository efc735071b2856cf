#pragma once

namespace palomind {

// Whether the receiver is simulated: the menu item "受信機シミュレーション"
// reads and turns it.
class ReceiverSimulationSwitch {
  public:
    virtual ~ReceiverSimulationSwitch() = default;
    virtual bool SimulationOn() const = 0;
    // Remembered for the operator's next runs too. The port in use keeps
    // what it reads until it is opened again.
    virtual void SetSimulationOn(bool on) = 0;
};

}  // namespace palomind
