#include "platform/qt_pcm_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <memory>

namespace palomind {

// The audio sink and what it plays, owned by the output's thread: the sink
// pulls the samples from a buffer and reports when the buffer ran dry.
class QtPcmOutput::Sink final : public QObject {
  public:
    explicit Sink(QtPcmOutput& output) : output_(output) {}

    void Start(const QByteArray& bytes, int sampleRate) {
        Stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            if (!noDeviceTold_ && output_.noAudioOutput_) output_.noAudioOutput_();
            noDeviceTold_ = true;
            output_.Finish(Outcome::NoDevice);
            return;
        }
        noDeviceTold_ = false;
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        // A sink per utterance follows a device plugged in or changed since.
        sink_ = std::make_unique<QAudioSink>(device, format);
        buffer_.setData(bytes);
        buffer_.open(QIODevice::ReadOnly);
        connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            // Idle: the buffer is played out; Stopped: the device failed.
            if (state == QAudio::IdleState || state == QAudio::StoppedState) {
                Stop();
                output_.Finish(Outcome::Played);
            }
        });
        sink_->start(&buffer_);
    }

    void Stop() {
        if (sink_ != nullptr) {
            sink_->disconnect(this);
            sink_->stop();
            sink_.reset();
        }
        buffer_.close();
    }

  private:
    QtPcmOutput& output_;
    std::unique_ptr<QAudioSink> sink_;
    QBuffer buffer_;
    bool noDeviceTold_ = false;
};

QtPcmOutput::QtPcmOutput(std::function<void()> noAudioOutput)
    : noAudioOutput_(std::move(noAudioOutput)), sink_(new Sink(*this)) {
    thread_.setObjectName(QStringLiteral("speech output"));
    sink_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, sink_, &QObject::deleteLater);
    thread_.start();
}

QtPcmOutput::~QtPcmOutput() {
    Interrupt();
    QMetaObject::invokeMethod(
        sink_, [sink = sink_] { sink->Stop(); }, Qt::QueuedConnection);
    thread_.quit();
    thread_.wait();
}

void QtPcmOutput::Play(const SpeechSamples& speech) {
    if (speech.sampleRate <= 0 || speech.samples.empty()) return;
    {
        const std::lock_guard lock(mutex_);
        if (interrupted_) return;
        outcome_ = Outcome::Pending;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(speech.samples.data()),
                           static_cast<qsizetype>(speech.samples.size() * sizeof(std::int16_t)));
    QMetaObject::invokeMethod(
        sink_, [sink = sink_, bytes, rate = speech.sampleRate] { sink->Start(bytes, rate); },
        Qt::QueuedConnection);
    Outcome outcome = Outcome::Pending;
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return outcome_ != Outcome::Pending || interrupted_; });
        outcome = outcome_;
    }
    if (outcome == Outcome::NoDevice) standIn_.Play(speech);
}

void QtPcmOutput::Interrupt() {
    {
        const std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    finished_.notify_all();
    standIn_.Interrupt();
}

void QtPcmOutput::Finish(Outcome outcome) {
    {
        const std::lock_guard lock(mutex_);
        outcome_ = outcome;
    }
    finished_.notify_all();
}

}  // namespace palomind
