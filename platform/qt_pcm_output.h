#pragma once
#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/pcm_output.h"
#include "platform/real_time_pcm_output.h"

namespace palomind {

// Speech played through a Qt Multimedia audio sink of its own, on a thread of
// its own, so the wave sounds of the race neither cut it off nor wait for it.
// Where the system has no audio output the samples are consumed in real time
// instead, and the owner is told.
class QtPcmOutput final : public PcmOutput {
  public:
    // `noAudioOutput` is called, on the output's thread, when speech should
    // play but the system has no audio output device; it is told again only
    // if a device appeared in between.
    explicit QtPcmOutput(std::function<void()> noAudioOutput);
    ~QtPcmOutput() override;
    QtPcmOutput(const QtPcmOutput&) = delete;
    QtPcmOutput& operator=(const QtPcmOutput&) = delete;

    void Play(const SpeechSamples& speech) override;
    void Interrupt() override;

  private:
    class Sink;
    // How one Play ended, as the sink's thread reports it.
    enum class Outcome { Pending, Played, NoDevice };
    void Finish(Outcome outcome);

    std::function<void()> noAudioOutput_;
    QThread thread_;
    Sink* sink_ = nullptr;  // lives on thread_
    RealTimePcmOutput standIn_;

    std::mutex mutex_;
    std::condition_variable finished_;
    Outcome outcome_ = Outcome::Played;
    bool interrupted_ = false;
};

}  // namespace palomind
