#include "shell/simulated_receiver.h"

#include <QDir>
#include <QFileInfo>

#include "platform/qt_serial_port.h"

namespace palomind {

namespace {

constexpr int kSimulatorStopTimeoutMs = 2000;
constexpr const char* kSimulationKey = "Simulation";
// What the journal's note of an opened port names while the simulator has
// not yet printed its line.
constexpr const char* kStartingSimulator = "receiver_simulator, starting";

bool StoredSimulationOn(SettingsStore& settings) {
    return settings.GetSetting("Ports", kSimulationKey).value_or("") == "1";
}

}  // namespace

SimulatorCommand DefaultSimulatorCommand(const QStringList& folders) {
    const QString name = QStringLiteral("receiver_simulator");
    for (const QString& folder : folders) {
        const QString program = QDir(folder).filePath(name);
        if (QFileInfo(program).isExecutable()) return {program, {}};
    }
    return {QDir(folders.value(0)).filePath(name), {}};
}

SimulatedReceiverPort::SimulatedReceiverPort(SettingsStore& settings, SimulatorCommand command,
                                             bool simulateThisRun)
    : settings_(settings),
      command_(std::move(command)),
      device_(std::make_unique<QtSerialPort>(settings)),
      simulationOn_(simulateThisRun || StoredSimulationOn(settings)) {
    simulator_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&simulator_, &QProcess::readyReadStandardOutput, &simulator_,
                     [this] { TakeSimulatorsLine(); });
    QObject::connect(&simulator_, &QProcess::errorOccurred, &simulator_,
                     [this](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) SimulatorEnded();
                     });
    QObject::connect(&simulator_, &QProcess::finished, &simulator_, [this] { SimulatorEnded(); });
}

SimulatedReceiverPort::~SimulatedReceiverPort() {
    simulator_.disconnect();
    device_.reset();
    StopSimulator();
}

void SimulatedReceiverPort::SetListener(SerialListener* listener) {
    listener_ = listener;
    device_->SetListener(listener);
}

bool SimulatedReceiverPort::IsOpen() const {
    return awaitingLine_ || device_->IsOpen();
}

void SimulatedReceiverPort::Close() {
    awaitingLine_ = false;
    device_->Close();
    SetSimulating(false);
}

bool SimulatedReceiverPort::Open(int portNumber) {
    if (portNumber < QtSerialPort::kFirstPort || portNumber > QtSerialPort::kLastPort) return false;
    if (!simulationOn_) {
        SetSimulating(false);
        return device_->Open(portNumber);
    }
    if (!line_.empty()) {
        const bool opened = device_->OpenDevice(line_);
        SetSimulating(opened);
        return opened;
    }
    if (!EnsureSimulator()) {
        SetSimulating(false);
        return false;
    }
    awaitingLine_ = true;
    SetSimulating(true);
    return true;
}

std::string SimulatedReceiverPort::DevicePath(int portNumber) const {
    if (!simulationOn_ || portNumber < QtSerialPort::kFirstPort ||
        portNumber > QtSerialPort::kLastPort) {
        return device_->DevicePath(portNumber);
    }
    return line_.empty() ? kStartingSimulator : line_;
}

PortDiagnosis SimulatedReceiverPort::Diagnose(int portNumber) const {
    // The simulator's line is not the operator's device: what went wrong
    // there has been told as the port's failure.
    if (!simulationOn_) return device_->Diagnose(portNumber);
    PortDiagnosis diagnosis;
    diagnosis.device = DevicePath(portNumber);
    return diagnosis;
}

void SimulatedReceiverPort::SetSimulationOn(bool on) {
    simulationOn_ = on;
    settings_.SaveSetting("Ports", kSimulationKey, on ? "1" : "0");
    if (on) return;
    // The port waiting for the simulator is opened anew by whoever turned
    // simulation off; the simulator ending is no failure to tell.
    awaitingLine_ = false;
    StopSimulator();
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

bool SimulatedReceiverPort::EnsureSimulator() {
    if (simulator_.state() != QProcess::NotRunning) return true;
    if (!QFileInfo(command_.program).isExecutable()) return false;
    // Its standard input stays open for its whole life: when it closes, as
    // this process ends in whatever way, the simulator ends too.
    QStringList arguments = command_.arguments;
    arguments << QStringLiteral("--exit-with-stdin");
    simulator_.start(command_.program, arguments);
    return true;
}

void SimulatedReceiverPort::TakeSimulatorsLine() {
    // Its first line is the path of the line's serial end; nothing it
    // prints after that matters here.
    if (!line_.empty()) {
        simulator_.readAllStandardOutput();
        return;
    }
    if (!simulator_.canReadLine()) return;
    line_ = QString::fromLocal8Bit(simulator_.readLine()).trimmed().toStdString();
    if (!awaitingLine_ || line_.empty()) return;
    awaitingLine_ = false;
    if (!device_->OpenDevice(line_) && listener_ != nullptr) {
        listener_->OnPortFailed("the receiver simulator's line " + line_ + " does not open");
    }
}

void SimulatedReceiverPort::SimulatorEnded() {
    line_.clear();
    if (!awaitingLine_) return;  // an open line reports its own failure
    awaitingLine_ = false;
    if (listener_ != nullptr) listener_->OnPortFailed("the receiver simulator did not start");
}

void SimulatedReceiverPort::StopSimulator() {
    if (simulator_.state() == QProcess::NotRunning) return;
    // Closing its input is the simulator's signal to end; it also ends by
    // itself if this process dies without getting here.
    simulator_.closeWriteChannel();
    if (!simulator_.waitForFinished(kSimulatorStopTimeoutMs)) {
        simulator_.kill();
        simulator_.waitForFinished(kSimulatorStopTimeoutMs);
    }
}

}  // namespace palomind
