#include "platform/qt_pcm_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace palomind {

namespace {

// The sink's buffer. Short, so speech sounds soon after it is handed over (a
// sound server's default is seconds); the feed timer tops it up well within.
constexpr qint64 kBufferMicroseconds = 200'000;
constexpr int kFeedIntervalMs = 20;

}  // namespace

// The audio sink and the samples still to be written to it, owned by the
// output's thread. The sink plays what it is given in order, so utterances
// follow each other without mixing.
class QtPcmOutput::Sink final : public QObject {
  public:
    explicit Sink(std::function<void()> noAudioOutput)
        : noAudioOutput_(std::move(noAudioOutput)), feed_(new QTimer(this)) {
        feed_->setInterval(kFeedIntervalMs);
        connect(feed_, &QTimer::timeout, this, &Sink::Feed);
    }

    void Append(const QByteArray& bytes, int sampleRate) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            if (!noDeviceTold_ && noAudioOutput_) noAudioOutput_();
            noDeviceTold_ = true;
            Stop();
            return;
        }
        noDeviceTold_ = false;
        // A new stream for a device plugged in or changed since, or one that failed.
        if (sink_ == nullptr || device != device_ || sampleRate != sampleRate_ ||
            sink_->error() != QAudio::NoError)
            Open(device, sampleRate);
        pending_ += bytes;
        Feed();
        if (!pending_.isEmpty()) feed_->start();
    }

    void Stop() {
        feed_->stop();
        pending_.clear();
        stream_ = nullptr;
        if (sink_ != nullptr) sink_->stop();
        sink_.reset();
    }

  private:
    void Open(const QAudioDevice& device, int sampleRate) {
        Stop();
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->setBufferSize(format.bytesForDuration(kBufferMicroseconds));
        stream_ = sink_->start();
        device_ = device;
        sampleRate_ = sampleRate;
    }

    void Feed() {
        if (stream_ == nullptr) {
            Stop();
            return;
        }
        const qsizetype room = std::min<qsizetype>(sink_->bytesFree(), pending_.size());
        const qint64 written = room > 0 ? stream_->write(pending_.constData(), room) : 0;
        if (written > 0) pending_.remove(0, static_cast<qsizetype>(written));
        if (pending_.isEmpty()) feed_->stop();
    }

    std::function<void()> noAudioOutput_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* stream_ = nullptr;  // the sink's, while it is open
    QAudioDevice device_;
    int sampleRate_ = 0;
    QByteArray pending_;
    QTimer* feed_;  // a child, so it moves to the output's thread with the sink
    bool noDeviceTold_ = false;
};

QtPcmOutput::QtPcmOutput(std::function<void()> noAudioOutput)
    : sink_(new Sink(std::move(noAudioOutput))) {
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
    const QByteArray bytes(reinterpret_cast<const char*>(speech.samples.data()),
                           static_cast<qsizetype>(speech.samples.size() * sizeof(std::int16_t)));
    QMetaObject::invokeMethod(
        sink_, [sink = sink_, bytes, rate = speech.sampleRate] { sink->Append(bytes, rate); },
        Qt::QueuedConnection);
    pace_.Play(speech);
}

void QtPcmOutput::Interrupt() {
    pace_.Interrupt();
    QMetaObject::invokeMethod(
        sink_, [sink = sink_] { sink->Stop(); }, Qt::QueuedConnection);
}

}  // namespace palomind
