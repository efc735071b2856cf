#include "voice/speaker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/monotonic_tick_clock.h"
#include "platform/real_time_pcm_output.h"
#include "platform/tick_clock.h"

namespace palomind {
namespace {

// Speech at 1000 samples a second, so a sample is a millisecond: each byte of
// text lasts kMsPerByte, and synthesis takes kSynthesisMs of the clock.
struct FakeSpeech final : SpeechEngine {
    static constexpr int kMsPerByte = 40;
    static constexpr int kSynthesisMs = 30;
    explicit FakeSpeech(SetTickClock& c) : clock(c) {}
    bool HasVoice(std::string_view voice) const override { return voice == "ja" || voice == "en"; }
    SpeechSamples Synthesize(std::string_view text, std::string_view voice) override {
        if (!HasVoice(voice)) return {};
        clock.Set(clock.Now() + kSynthesisMs);
        synthesised.emplace_back(text);
        paces.push_back(wordsPerMinute);
        return {1000, std::vector<std::int16_t>(text.size() * kMsPerByte, 100)};
    }
    void SetWordsPerMinute(int pace) override { wordsPerMinute = pace; }
    SetTickClock& clock;
    std::vector<std::string> synthesised;
    int wordsPerMinute = 0;
    std::vector<int> paces;  // the pace each text was synthesised at
};

// Plays in real time on the test's clock, and notes when each utterance's
// samples were handed to it.
struct FakeOutput final : PcmOutput {
    explicit FakeOutput(SetTickClock& c) : clock(c) {}
    void Play(const SpeechSamples& speech) override {
        starts.push_back(clock.Now());
        clock.Set(clock.Now() + static_cast<std::int32_t>(speech.samples.size()));
    }
    void Interrupt() override {}
    SetTickClock& clock;
    std::vector<std::int32_t> starts;
};

class SpeakerTest : public ::testing::Test {
  protected:
    SpeakerTest() { clock.Set(1'000'000); }
    void Announce(AnnouncementKind kind, std::string text, int id = 0) {
        speaker.Announce(
            {.kind = kind, .voice = "ja", .text = std::move(text), .id = id, .tick = clock.Now()});
    }
    void SpeakAll() {
        while (speaker.SpeakNext()) {
        }
    }

    SetTickClock clock;
    FakeSpeech speech{clock};
    FakeOutput output{clock};
    Speaker speaker{speech, output, clock};
};

TEST_F(SpeakerTest, AnIdleVoiceStartsAnAnnouncementWithinItsSynthesis) {
    const std::int32_t passed = clock.Now();
    Announce(AnnouncementKind::Pass, "ごばん、1しゅう、9てん50", 5);
    ASSERT_TRUE(speaker.SpeakNext());
    ASSERT_EQ(output.starts.size(), 1u);
    EXPECT_EQ(output.starts[0] - passed, FakeSpeech::kSynthesisMs);
    EXPECT_EQ(speaker.Figures().WorstDelayMs(AnnouncementKind::Pass), FakeSpeech::kSynthesisMs);
    EXPECT_FALSE(speaker.SpeakNext());
}

TEST_F(SpeakerTest, EachAnnouncementIsSynthesisedAtThePaceSetBeforeItsTurn) {
    Announce(AnnouncementKind::Start, "Start");
    ASSERT_TRUE(speaker.SpeakNext());
    speaker.SetWordsPerMinute(350);
    Announce(AnnouncementKind::Pass, "Number 5, 12.34", 5);
    ASSERT_TRUE(speaker.SpeakNext());
    EXPECT_EQ(speech.paces, (std::vector<int>{kDefaultWordsPerMinute, 350}));
}

TEST_F(SpeakerTest, ANewerPassOfAnIdTakesThePlaceOfTheOneWaiting) {
    Announce(AnnouncementKind::Pass, "1 lap 1", 1);
    Announce(AnnouncementKind::Pass, "2 lap 1", 2);
    Announce(AnnouncementKind::Pass, "1 lap 2", 1);
    Announce(AnnouncementKind::BestLap, "best 1", 1);
    Announce(AnnouncementKind::BestLap, "best 2", 2);
    SpeakAll();
    EXPECT_EQ(speech.synthesised, (std::vector<std::string>{"1 lap 2", "2 lap 1", "best 2"}));
    EXPECT_EQ(speaker.Figures().Dropped(AnnouncementKind::Pass), 1);
    EXPECT_EQ(speaker.Figures().Dropped(AnnouncementKind::BestLap), 1);
}

TEST_F(SpeakerTest, CountdownsStartAndFinishesAreNeverDroppedAndTheClockGoesFirst) {
    Announce(AnnouncementKind::Pass, "pass 1", 1);
    Announce(AnnouncementKind::Finished, "1 finished", 1);
    Announce(AnnouncementKind::Countdown, "3");
    Announce(AnnouncementKind::Finishing, "time up");
    Announce(AnnouncementKind::Start, "start");
    clock.Set(clock.Now() + 60'000);  // all of them a minute old
    SpeakAll();
    EXPECT_EQ(speech.synthesised,
              (std::vector<std::string>{"3", "time up", "start", "1 finished"}));
    const VoiceFigures figures = speaker.Figures();
    EXPECT_EQ(figures.Dropped(AnnouncementKind::Pass), 1);
    for (AnnouncementKind kind : {AnnouncementKind::Countdown, AnnouncementKind::Start,
                                  AnnouncementKind::Finishing, AnnouncementKind::Finished}) {
        EXPECT_EQ(figures.Dropped(kind), 0);
        EXPECT_EQ(figures.Spoken(kind), 1);
    }
}

// Twenty transponders passing every 3.6 ms in turn, far faster than speech:
// every pass spoken is fresh, at most one per ID waits, and a countdown
// announced in the middle is spoken next.
TEST_F(SpeakerTest, KeepsUpWithASaturatedLineByDroppingStalePasses) {
    constexpr int kIds = 20;
    constexpr std::int32_t kGapMs = 4;
    std::int32_t nextPass = clock.Now();
    int id = 0;
    int announced = 0;
    bool countdownAnnounced = false;
    std::size_t countdownAt = 0;
    const std::int32_t end = clock.Now() + 30'000;
    while (clock.Now() < end) {
        // The race's passes up to now, at their own ticks.
        const std::int32_t now = clock.Now();
        for (; nextPass <= now; nextPass += kGapMs) {
            clock.Set(nextPass);
            Announce(AnnouncementKind::Pass, "pass " + std::to_string(id + 1), id + 1);
            id = (id + 1) % kIds;
            ++announced;
        }
        clock.Set(now);
        if (!countdownAnnounced && now > end - 10'000) {
            Announce(AnnouncementKind::Countdown, "10");
            countdownAnnounced = true;
            countdownAt = speech.synthesised.size();
        }
        if (!speaker.SpeakNext()) clock.Set(clock.Now() + kGapMs);
    }
    // What still waits has gone stale by now.
    clock.Set(clock.Now() + AnnouncementQueue::kStaleAfterMs + 1);
    SpeakAll();
    const VoiceFigures figures = speaker.Figures();
    // About one "pass NN" (310 ms with its synthesis) at a time for 30 s.
    EXPECT_GT(figures.Spoken(AnnouncementKind::Pass), 80);
    EXPECT_EQ(figures.Spoken(AnnouncementKind::Pass) + figures.Dropped(AnnouncementKind::Pass),
              announced);
    EXPECT_LE(figures.WorstDelayMs(AnnouncementKind::Pass),
              AnnouncementQueue::kStaleAfterMs + FakeSpeech::kSynthesisMs);
    ASSERT_LT(countdownAt, speech.synthesised.size());
    EXPECT_EQ(speech.synthesised[countdownAt], "10");
    EXPECT_EQ(figures.Spoken(AnnouncementKind::Countdown), 1);
}

}  // namespace
}  // namespace palomind

namespace palomind {
namespace {

struct ShortSpeech final : SpeechEngine {
    bool HasVoice(std::string_view) const override { return true; }
    SpeechSamples Synthesize(std::string_view text, std::string_view) override {
        // "long" lasts a minute, anything else 10 ms.
        return {1000, std::vector<std::int16_t>(text == "long" ? 60'000 : 10, 0)};
    }
};

// The voice's own thread speaks what is announced, and stopping it cuts off
// an utterance in progress instead of waiting for its end.
TEST(SpeakerThreadTest, SpeaksOnItsOwnThreadAndStopsInTheMiddleOfAnUtterance) {
    ShortSpeech speech;
    RealTimePcmOutput output;
    MonotonicTickClock clock;
    Speaker speaker(speech, output, clock);
    speaker.Start();
    for (const char* text : {"a", "b", "long"})
        speaker.Announce({.kind = AnnouncementKind::Finished,
                          .voice = "en",
                          .text = text,
                          .tick = clock.TimeGetTime()});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (speaker.Figures().Spoken(AnnouncementKind::Finished) < 3 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(speaker.Figures().Spoken(AnnouncementKind::Finished), 3);
    const auto stopping = std::chrono::steady_clock::now();
    speaker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(30));
}

// The race's thread announces while the voice's thread speaks and a third
// reads the figures: every announcement is said once, none lost or doubled.
TEST(SpeakerThreadTest, AnnouncementsMadeWhileItSpeaksAreEachSaidOnce) {
    constexpr int kAnnounced = 40;
    ShortSpeech speech;
    RealTimePcmOutput output;
    MonotonicTickClock clock;
    Speaker speaker(speech, output, clock);
    speaker.Start();
    std::thread race([&] {
        for (int n = 1; n <= kAnnounced; ++n) {
            speaker.Announce({.kind = AnnouncementKind::Finished,
                              .voice = "en",
                              .text = "a",
                              .id = n,
                              .tick = clock.TimeGetTime()});
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (speaker.Figures().Spoken(AnnouncementKind::Finished) < kAnnounced &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    race.join();
    speaker.Stop();
    EXPECT_EQ(speaker.Figures().Spoken(AnnouncementKind::Finished), kAnnounced);
    EXPECT_EQ(speaker.Figures().Dropped(AnnouncementKind::Finished), 0);
}

}  // namespace
}  // namespace palomind
