#include "shell/simulated_receiver.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include "platform/qt_serial_port.h"

namespace palomind {

namespace {

constexpr int kSimulatorStartTimeoutMs = 5000;
constexpr int kSimulatorStopTimeoutMs = 2000;

std::string PortName(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

}  // namespace

class SimulatedReceiverPort::PortSettings final : public SettingsStore {
  public:
    explicit PortSettings(SettingsStore& stored) : stored_(stored) {}

    void SimulateOn(std::string line) { line_ = std::move(line); }
    bool Simulated(int portNumber) const {
        return !line_.empty() && !ReceiverConfigured(portNumber, stored_);
    }

    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override {
        if (section == "Ports") {
            for (int n = QtSerialPort::kFirstPort; n <= QtSerialPort::kLastPort; ++n) {
                if (key == PortName(n) && Simulated(n)) return line_;
            }
        }
        return stored_.GetSetting(section, key);
    }
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        stored_.SaveSetting(section, key, value);
    }

  private:
    SettingsStore& stored_;
    std::string line_;  // the simulator's serial line; empty while none runs
};

SimulatorCommand DefaultSimulatorCommand(const QStringList& folders) {
    const QString name = QStringLiteral("receiver_simulator");
    for (const QString& folder : folders) {
        const QString program = QDir(folder).filePath(name);
        if (QFileInfo(program).isExecutable()) return {program, {}};
    }
    return {QDir(folders.value(0)).filePath(name), {}};
}

bool ReceiverConfigured(int portNumber, SettingsStore& settings) {
    const std::string name = PortName(portNumber);
    if (!qEnvironmentVariable(("PALOMIND_" + name).c_str()).isEmpty()) return true;
    const std::optional<std::string> stored = settings.GetSetting("Ports", name);
    return stored && !stored->empty();
}

SimulatedReceiverPort::SimulatedReceiverPort(SettingsStore& settings, SimulatorCommand command)
    : settings_(settings),
      command_(std::move(command)),
      portSettings_(std::make_unique<PortSettings>(settings)),
      device_(std::make_unique<QtSerialPort>(*portSettings_)) {}

SimulatedReceiverPort::~SimulatedReceiverPort() {
    device_.reset();
    StopSimulator();
}

void SimulatedReceiverPort::SetListener(SerialListener* listener) {
    device_->SetListener(listener);
}

bool SimulatedReceiverPort::IsOpen() const {
    return device_->IsOpen();
}

void SimulatedReceiverPort::Close() {
    device_->Close();
    SetSimulating(false);
}

bool SimulatedReceiverPort::Open(int portNumber) {
    if (portNumber >= QtSerialPort::kFirstPort && portNumber <= QtSerialPort::kLastPort &&
        !ReceiverConfigured(portNumber, settings_)) {
        EnsureSimulator();
    }
    const bool opened = device_->Open(portNumber);
    SetSimulating(opened && portSettings_->Simulated(portNumber));
    return opened;
}

std::string SimulatedReceiverPort::DevicePath(int portNumber) const {
    return device_->DevicePath(portNumber);
}

void SimulatedReceiverPort::SetSimulationObserver(std::function<void(bool)> observer) {
    observer_ = std::move(observer);
    if (observer_) observer_(simulating_);
}

void SimulatedReceiverPort::SetSimulating(bool simulating) {
    if (simulating == simulating_) return;
    simulating_ = simulating;
    if (observer_) observer_(simulating_);
}

void SimulatedReceiverPort::EnsureSimulator() {
    // A simulator that could not be started (not installed) is not tried
    // again on every port change; one that died is replaced.
    if (simulatorUnavailable_ || simulator_.state() != QProcess::NotRunning) return;
    portSettings_->SimulateOn({});
    if (!StartSimulator()) simulatorUnavailable_ = true;
}

bool SimulatedReceiverPort::StartSimulator() {
    if (!QFileInfo(command_.program).isExecutable()) return false;
    // Its standard input stays open for its whole life: when it closes, as
    // this process ends in whatever way, the simulator ends too.
    QStringList arguments = command_.arguments;
    arguments << QStringLiteral("--exit-with-stdin");
    simulator_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator_.start(command_.program, arguments);
    if (!simulator_.waitForStarted(kSimulatorStartTimeoutMs)) return false;
    // Its first line is the path of the line's serial end.
    while (!simulator_.canReadLine()) {
        if (!simulator_.waitForReadyRead(kSimulatorStartTimeoutMs)) return StopSimulator();
    }
    const QString line = QString::fromLocal8Bit(simulator_.readLine()).trimmed();
    if (line.isEmpty()) return StopSimulator();
    portSettings_->SimulateOn(line.toStdString());
    return true;
}

bool SimulatedReceiverPort::StopSimulator() {
    if (simulator_.state() == QProcess::NotRunning) return false;
    // Closing its input is the simulator's signal to end; it also ends by
    // itself if this process dies without getting here.
    simulator_.closeWriteChannel();
    if (!simulator_.waitForFinished(kSimulatorStopTimeoutMs)) {
        simulator_.kill();
        simulator_.waitForFinished(kSimulatorStopTimeoutMs);
    }
    return false;
}

}  // namespace palomind
