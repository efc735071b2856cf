#include "voice/speaker.h"

#include <algorithm>

namespace palomind {

Speaker::Speaker(SpeechEngine& engine, PcmOutput& output, TickClock& clock)
    : engine_(engine), output_(output), clock_(clock) {}

Speaker::~Speaker() {
    Stop();
}

void Speaker::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { Run(); });
}

void Speaker::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    output_.Interrupt();
    if (thread_.joinable()) thread_.join();
}

void Speaker::Announce(Announcement announcement) {
    {
        const std::lock_guard lock(mutex_);
        queue_.Push(std::move(announcement));
    }
    wake_.notify_one();
}

void Speaker::SetWordsPerMinute(int wordsPerMinute) {
    const std::lock_guard lock(mutex_);
    wordsPerMinute_ = wordsPerMinute;
}

bool Speaker::SpeakNext() {
    std::optional<Announcement> next;
    int wordsPerMinute = 0;
    {
        const std::lock_guard lock(mutex_);
        next = queue_.Next(clock_.TimeGetTime());
        wordsPerMinute = wordsPerMinute_;
    }
    if (!next) return false;
    // The engine is this thread's alone: its pace is set here.
    engine_.SetWordsPerMinute(wordsPerMinute);
    const SpeechSamples speech = engine_.Synthesize(next->text, next->voice);
    if (speech.sampleRate <= 0 || speech.samples.empty()) return true;  // the voice is missing
    const std::int32_t started = clock_.TimeGetTime();
    {
        const std::lock_guard lock(mutex_);
        const auto kind = static_cast<std::size_t>(next->kind);
        ++figures_.spoken[kind];
        figures_.worstDelayMs[kind] =
            std::max(figures_.worstDelayMs[kind],
                     static_cast<std::int32_t>(static_cast<std::uint32_t>(started) -
                                               static_cast<std::uint32_t>(next->tick)));
        figures_.speechMs +=
            static_cast<std::int64_t>(speech.samples.size()) * 1000 / speech.sampleRate;
    }
    output_.Play(speech);
    return true;
}

VoiceFigures Speaker::Figures() const {
    const std::lock_guard lock(mutex_);
    VoiceFigures figures = figures_;
    for (int kind = 0; kind < kAnnouncementKinds; ++kind)
        figures.dropped[static_cast<std::size_t>(kind)] =
            queue_.Dropped(static_cast<AnnouncementKind>(kind));
    return figures;
}

void Speaker::Run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.Empty(); });
            if (stopping_) return;
        }
        SpeakNext();
    }
}

}  // namespace palomind
