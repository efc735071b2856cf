#include "platform/qt_serial_port.h"

#include <QByteArray>
#include <QSerialPort>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/serial_device_diagnosis.h"

#if defined(Q_OS_LINUX)
#include <pthread.h>
#include <sched.h>
#endif

namespace palomind {

namespace {

constexpr qint32 kBaudRate = 19200;

// The reader thread's only work is to stamp what arrives, a few microseconds
// per block; any wait before it runs is error in a lap time. So it asks to
// run before ordinary threads (a CPU-bound program beside Palomind would
// otherwise delay it by a scheduler slice, or far more on a loaded machine).
// Where that is not allowed, as for most users without a real-time grant, it
// runs as an ordinary thread, silently.
void AskToRunBeforeOrdinaryThreads() {
#if defined(Q_OS_LINUX)
    sched_param param{};
    param.sched_priority = 1;  // the lowest real-time priority is enough
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
#endif
}

std::string PlatformDefaultDevice(int portNumber) {
#ifdef Q_OS_WIN
    return "COM" + std::to_string(portNumber);
#else
    return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

}  // namespace

// The port itself, created, read and closed on the reader thread only.
class SerialReader final : public QObject {
  public:
    using BytesRead = std::function<void(std::span<const std::uint8_t>)>;
    using Failed = std::function<void(const QString& reason)>;

    SerialReader(SerialIoctl serialIoctl, BytesRead bytesRead, Failed failed)
        : serialIoctl_(std::move(serialIoctl)),
          bytesRead_(std::move(bytesRead)),
          failed_(std::move(failed)) {}

    bool Open(const QString& device) {
        Close();
        port_ = new QSerialPort(this);
        connect(port_, &QSerialPort::readyRead, this, &SerialReader::DeliverWaitingBytes);
        connect(port_, &QSerialPort::errorOccurred, this, &SerialReader::HandleError);
        port_->setPortName(device);
        port_->setBaudRate(kBaudRate);
        port_->setDataBits(QSerialPort::Data8);
        port_->setParity(QSerialPort::NoParity);
        port_->setStopBits(QSerialPort::OneStop);
        port_->setFlowControl(QSerialPort::NoFlowControl);
        // No limit: a burst of passes must never be dropped.
        port_->setReadBufferSize(0);
        // Nothing is ever sent to the receiver. The device is opened without
        // blocking, so a missing or busy port fails at once.
        if (!port_->open(QIODevice::ReadOnly)) {
            Close();
            return false;
        }
#ifdef Q_OS_UNIX
        RequestLowLatency(static_cast<int>(port_->handle()), serialIoctl_);
#endif
        open_ = true;
        return true;
    }

    void Close() {
        open_ = false;
        if (port_ == nullptr) return;
        // Closing reports nothing to anyone: the port is going away.
        disconnect(port_, nullptr, this, nullptr);
        port_->close();
        // Close may run inside the port's own errorOccurred signal: deleted
        // there, the port would be gone while Qt still works in it. Closed
        // now, it frees the device at once and is deleted once its signal
        // has returned (or with the reader, its parent).
        port_->deleteLater();
        port_ = nullptr;
    }

    bool IsOpen() const {
        return open_;
    }

  private:
    void DeliverWaitingBytes() {
        const QByteArray bytes = port_->readAll();
        if (bytes.isEmpty()) return;
        bytesRead_(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
    }

    void HandleError(QSerialPort::SerialPortError error) {
        // Opening reports NoError; a failed open is told by Open's result.
        if (error == QSerialPort::NoError || !port_->isOpen()) return;
        // While open, every error comes from reading: the device went away
        // (a pseudo-terminal reports ReadError, an unplugged adapter
        // ResourceError). Left open, the port repeats the error as fast as it
        // can, so it is closed here and the failure told once. Bytes already
        // received are handed on first: they may hold passes.
        DeliverWaitingBytes();
        const QString reason = port_->errorString();
        Close();
        failed_(reason);
    }

    SerialIoctl serialIoctl_;
    BytesRead bytesRead_;
    Failed failed_;
    QSerialPort* port_ = nullptr;
    std::atomic<bool> open_{false};
};

QtSerialPort::QtSerialPort(SettingsStore& settings, SerialIoctl serialIoctl, QObject* parent)
    : QObject(parent), settings_(settings) {
    reader_ = new SerialReader(
        std::move(serialIoctl),
        [this](std::span<const std::uint8_t> bytes) {
            if (SerialListener* listener = listener_.load()) listener->OnBytes(bytes);
            if (!bytesWaitingTold_.exchange(true))
                QMetaObject::invokeMethod(this, &QtSerialPort::TellBytesWaiting,
                                          Qt::QueuedConnection);
        },
        [this](const QString& reason) {
            QMetaObject::invokeMethod(
                this, [this, reason] { TellFailure(reason); }, Qt::QueuedConnection);
        });
    thread_.setObjectName(QStringLiteral("receiver"));
    reader_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(reader_, &AskToRunBeforeOrdinaryThreads, Qt::QueuedConnection);
}

QtSerialPort::~QtSerialPort() {
    // Nothing the port reports while it closes may reach a listener that is
    // itself going away.
    SerialReader* reader = reader_;
    StopDelivering([reader] { delete reader; });
    thread_.quit();
    thread_.wait();
}

// The reader thread delivers only from its own event loop, one block per
// event, reading the listener as each block starts. So once the listener is
// cleared, a call queued behind whatever the thread is doing runs only after
// a delivery under way has returned, and none starts after it.
void QtSerialPort::StopDelivering(const std::function<void()>& then) {
    listener_ = nullptr;
    RunOnReaderAndWait(then ? then : [] {});
}

void QtSerialPort::RunOnReaderAndWait(const std::function<void()>& work) {
    if (QThread::currentThread() == &thread_)
        work();
    else
        QMetaObject::invokeMethod(reader_, work, Qt::BlockingQueuedConnection);
}

void QtSerialPort::SetListener(SerialListener* listener) {
    StopDelivering();
    listener_ = listener;
}

bool QtSerialPort::IsOpen() const {
    return reader_->IsOpen();
}

void QtSerialPort::Close() {
    // Closed on the reader thread and waited for: once this returns the port
    // delivers nothing more until it is opened again. The listener stays.
    RunOnReaderAndWait([this] { reader_->Close(); });
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

PortDiagnosis QtSerialPort::Diagnose(int portNumber) const {
    return DiagnoseSerialDevice(DevicePath(portNumber), ThisProcessUser());
}

bool QtSerialPort::Open(int portNumber) {
    return OpenDevice(DevicePath(portNumber));
}

bool QtSerialPort::OpenDevice(const std::string& device) {
    if (device.empty()) return false;
    bool opened = false;
    // The open itself never blocks: a missing or busy device fails at once.
    RunOnReaderAndWait([&] { opened = reader_->Open(QString::fromStdString(device)); });
    return opened;
}

void QtSerialPort::TellBytesWaiting() {
    // Cleared first: bytes read from here on ask again.
    bytesWaitingTold_ = false;
    if (SerialListener* listener = listener_.load()) listener->OnBytesWaiting();
}

void QtSerialPort::TellFailure(const QString& reason) {
    // The bytes read before the failure are processed before it is told.
    TellBytesWaiting();
    if (SerialListener* listener = listener_.load()) listener->OnPortFailed(reason.toStdString());
}

}  // namespace palomind
