#pragma once
#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/pcm_output.h"
#include "platform/speech_engine.h"
#include "platform/tick_clock.h"
#include "voice/announcement.h"
#include "voice/announcement_queue.h"
#include "voice/speech_pace.h"

namespace palomind {

// How the voice kept up with the race.
struct VoiceFigures {
    std::array<std::int64_t, kAnnouncementKinds> spoken{};
    std::array<std::int64_t, kAnnouncementKinds> dropped{};
    // The longest wait from a race event to its announcement's first samples
    // reaching the output, by kind, in ms.
    std::array<std::int32_t, kAnnouncementKinds> worstDelayMs{};
    // Whole utterances played (speech the output consumed), in ms.
    std::int64_t speechMs = 0;

    std::int64_t Spoken(AnnouncementKind kind) const {
        return spoken[static_cast<std::size_t>(kind)];
    }
    std::int64_t Dropped(AnnouncementKind kind) const {
        return dropped[static_cast<std::size_t>(kind)];
    }
    std::int32_t WorstDelayMs(AnnouncementKind kind) const {
        return worstDelayMs[static_cast<std::size_t>(kind)];
    }
};

// The voice: takes announcements from the race's thread without blocking it,
// and speaks them one after another on a thread of its own, synthesising
// each and handing it to the output, by the announcement queue's policy.
class Speaker final : public AnnouncementSink {
  public:
    // `clock` is the race's tick counter (announcements carry its ticks); it
    // is read on the voice's thread.
    Speaker(SpeechEngine& engine, PcmOutput& output, TickClock& clock);
    ~Speaker() override;
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    // Starts the voice's thread; announcements wait until it runs.
    void Start();
    // Ends an utterance in progress and the thread; what waits is not said.
    void Stop();

    void Announce(Announcement announcement) override;
    // The pace of the announcements synthesised from now on (words per
    // minute; kDefaultWordsPerMinute until set). Any thread.
    void SetWordsPerMinute(int wordsPerMinute);

    // One step of the voice's thread: the next announcement still worth
    // saying, synthesised and played to its end. False when none was left.
    bool SpeakNext();

    VoiceFigures Figures() const;

  private:
    void Run();

    SpeechEngine& engine_;
    PcmOutput& output_;
    TickClock& clock_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    AnnouncementQueue queue_;
    VoiceFigures figures_;
    bool stopping_ = false;
    int wordsPerMinute_ = kDefaultWordsPerMinute;
    std::thread thread_;
};

}  // namespace palomind
