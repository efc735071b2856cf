#pragma once
#include <QThread>
#include <functional>

#include "platform/pcm_output.h"
#include "platform/real_time_pcm_output.h"

namespace palomind {

// Speech played through a Qt Multimedia audio sink of its own, fed on a
// thread of its own, so the wave sounds of the race neither cut it off nor
// wait for it. Utterances go one after another into one stream; Play returns
// when its utterance has had the time to sound. Where the system has no audio
// output the samples are only consumed in real time, and the owner is told.
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

    QThread thread_;
    Sink* sink_ = nullptr;  // lives on thread_
    // Keeps Play to the pace of the sound, device or not.
    RealTimePcmOutput pace_;
};

}  // namespace palomind
