#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "app/receiver_simulation_switch.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"

namespace palomind {

class QtSerialPort;

// How to start the receiver simulator.
struct SimulatorCommand {
    QString program;
    QStringList arguments;  // besides the ones the port adds itself
};

// The simulator program, racing its default field of eight transponders: the
// first of `folders` that has it (the first folder when none has, so that
// starting it fails as for a missing program).
SimulatorCommand DefaultSimulatorCommand(const QStringList& folders);

// The receiver's port, simulated only when the operator asks for it: by the
// menu item (remembered per user in "Ports/Simulation") or for one run
// (--simulate). While simulation is off each port opens its device as
// QtSerialPort maps it, and no simulator is ever started: a plausible fake
// race on a real receiver's port would be worse than none.
//
// While simulation is on every port reads the receiver simulator, a separate
// program started on a pseudo-terminal the first time a port opens (and again
// should it have died). Starting it never waits for it: the port reports
// itself open at once and opens the simulator's line when the simulator
// prints it; if it never does, the listener is told the port failed.
class SimulatedReceiverPort final : public SerialPort, public ReceiverSimulationSwitch {
  public:
    SimulatedReceiverPort(SettingsStore& settings, SimulatorCommand command,
                          bool simulateThisRun = false);
    ~SimulatedReceiverPort() override;
    SimulatedReceiverPort(const SimulatedReceiverPort&) = delete;
    SimulatedReceiverPort& operator=(const SimulatedReceiverPort&) = delete;

    void SetListener(SerialListener* listener) override;
    bool IsOpen() const override;
    void Close() override;
    bool Open(int portNumber) override;
    std::string DevicePath(int portNumber) const override;
    PortDiagnosis Diagnose(int portNumber) const override;

    bool SimulationOn() const override { return simulationOn_; }
    void SetSimulationOn(bool on) override;

    // True while the open port is the simulator's line (or waits for it).
    bool Simulating() const { return simulating_; }
    // Told whenever that changes (true: the simulated receiver is in use).
    void SetSimulationObserver(std::function<void(bool simulating)> observer);

  private:
    // Starts the simulator unless it runs. False when it cannot be started.
    bool EnsureSimulator();
    void TakeSimulatorsLine();
    void SimulatorEnded();
    void StopSimulator();
    void SetSimulating(bool simulating);

    SettingsStore& settings_;
    SimulatorCommand command_;
    std::unique_ptr<QtSerialPort> device_;
    QProcess simulator_;
    std::string line_;           // the simulator's serial line; empty until it prints it
    bool awaitingLine_ = false;  // a port is open and waits for the line
    bool simulationOn_;
    bool simulating_ = false;
    SerialListener* listener_ = nullptr;
    std::function<void(bool)> observer_;
};

}  // namespace palomind
