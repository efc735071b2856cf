#include "platform/qt_serial_port.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <span>

namespace palomind {

namespace {

constexpr qint32 kBaudRate = 19200;

std::string PlatformDefaultDevice(int portNumber) {
#ifdef Q_OS_WIN
    return "COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace

QtSerialPort::QtSerialPort(SettingsStore& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::DeliverWaitingBytes);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::HandleError);
}

QtSerialPort::~QtSerialPort() {
    // The port closes while being destroyed; nothing it reports then may reach
    // a listener that is itself going away.
    disconnect(&port_, nullptr, this, nullptr);
    port_.close();
}

void QtSerialPort::SetListener(SerialListener* listener) {
    listener_ = listener;
}

bool QtSerialPort::IsOpen() const {
    return port_.isOpen();
}

void QtSerialPort::Close() {
    if (port_.isOpen()) port_.close();
}

std::string QtSerialPort::DevicePath(int portNumber) const {
    if (portNumber < kFirstPort || portNumber > kLastPort) return {};
    const std::string name = "COM" + std::to_string(portNumber);

    const QString fromEnvironment = qEnvironmentVariable(("PALOMIND_" + name).c_str());
    if (!fromEnvironment.isEmpty()) return fromEnvironment.toStdString();

    if (const auto stored = settings_.GetSetting("Ports", name); stored && !stored->empty()) {
        return *stored;
    }
    return PlatformDefaultDevice(portNumber);
}

bool QtSerialPort::Open(int portNumber) {
    const std::string device = DevicePath(portNumber);
    if (device.empty()) return false;
    Close();

    port_.setPortName(QString::fromStdString(device));
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // No limit: a burst of passes must never be dropped because the window was
    // busy for a moment.
    port_.setReadBufferSize(0);

    // Nothing is ever sent to the receiver. The device is opened without
    // blocking, so a missing or busy port fails at once.
    if (!port_.open(QIODevice::ReadOnly)) {
        port_.clearError();
        return false;
    }
    return true;
}

void QtSerialPort::DeliverWaitingBytes() {
    const QByteArray bytes = port_.readAll();
    if (bytes.isEmpty() || listener_ == nullptr) return;
    listener_->OnBytes(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())));
}

void QtSerialPort::HandleError(QSerialPort::SerialPortError error) {
    // Opening reports NoError; a failed open is told by Open's result.
    if (error == QSerialPort::NoError || !port_.isOpen()) return;
    // While open, every error comes from reading: the device went away (a
    // pseudo-terminal reports ReadError, an unplugged adapter ResourceError).
    // Left open, the port repeats the error as fast as it can, so it is closed
    // here and the failure told once. Bytes already received are handed on
    // first: they may hold passes.
    DeliverWaitingBytes();
    const std::string reason = port_.errorString().toStdString();
    port_.close();
    port_.clearError();
    if (listener_ != nullptr) listener_->OnPortFailed(reason);
}

}  // namespace palomind
