#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

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

// True when the operator has said which device port n (COM1..COM8) is: the
// environment variable PALOMIND_COMn or the setting "Ports/COMn" names one.
// A device merely existing (most PCs have a /dev/ttyS0 with nothing on it)
// says nothing about a receiver being there.
bool ReceiverConfigured(int portNumber, SettingsStore& settings);

// The receiver's port as the application uses it out of the box. A port the
// operator has configured opens its device as usual. A port nobody has
// configured is served by the receiver simulator: it is started on a
// pseudo-terminal the first time such a port opens (and again should it have
// died), and that port opens the simulator's line instead, so a newcomer sees
// a live race without a receiver. If the simulator cannot be started, the
// port opens its default device as it would without one.
class SimulatedReceiverPort final : public SerialPort {
  public:
    SimulatedReceiverPort(SettingsStore& settings, SimulatorCommand command);
    ~SimulatedReceiverPort() override;
    SimulatedReceiverPort(const SimulatedReceiverPort&) = delete;
    SimulatedReceiverPort& operator=(const SimulatedReceiverPort&) = delete;

    void SetListener(SerialListener* listener) override;
    bool IsOpen() const override;
    void Close() override;
    bool Open(int portNumber) override;
    std::string DevicePath(int portNumber) const override;

    // True while the open port is the simulator's line.
    bool Simulating() const { return simulating_; }
    // Told whenever that changes (true: the simulated receiver is in use).
    void SetSimulationObserver(std::function<void(bool simulating)> observer);

  private:
    // The settings the device adapter reads, with the simulator's line in
    // place of the device of every port nobody has configured.
    class PortSettings;

    // Starts the simulator unless it runs, or could not be started before.
    void EnsureSimulator();
    bool StartSimulator();
    // Ends a running simulator; always false (the simulator is not in use).
    bool StopSimulator();
    void SetSimulating(bool simulating);

    SettingsStore& settings_;
    SimulatorCommand command_;
    std::unique_ptr<PortSettings> portSettings_;
    std::unique_ptr<QtSerialPort> device_;
    QProcess simulator_;
    bool simulatorUnavailable_ = false;
    bool simulating_ = false;
    std::function<void(bool)> observer_;
};

}  // namespace palomind
