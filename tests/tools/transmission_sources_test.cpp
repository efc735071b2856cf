#include "tools/receiver_simulator/transmission_sources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "tools/receiver_simulator/journal_playback.h"

namespace palomind::simulator {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

std::vector<Transmission> Drain(TransmissionSource& source, std::size_t atMost) {
    std::vector<Transmission> all;
    while (all.size() < atMost) {
        std::optional<Transmission> t = source.Next();
        if (!t) break;
        all.push_back(std::move(*t));
    }
    return all;
}

std::vector<Transponder> Field(int count, double mean, double spread) {
    std::vector<Transponder> field;
    for (int id = 1; id <= count; ++id)
        field.push_back({static_cast<std::uint8_t>(id), mean, spread});
    return field;
}

TEST(LappingSource, PassesComeInTimeOrderWithLapsAboutEachMean) {
    SeededRandom random(1);
    std::vector<Transponder> field = {{3, 10.0, 0.5}, {7, 20.0, 1.0}};
    LappingSource source(field, 5 * kSecond, std::nullopt, random);
    const std::vector<Transmission> passes = Drain(source, 3'000);
    ASSERT_EQ(passes.size(), 3'000u);

    std::map<int, std::vector<std::int64_t>> times;
    for (std::size_t n = 0; n < passes.size(); ++n) {
        ASSERT_EQ(passes[n].kind, TransmissionKind::Pass);
        if (n > 0) {
            ASSERT_GE(passes[n].dueNanos, passes[n - 1].dueNanos);
        }
        times[passes[n].bytes[3]].push_back(passes[n].dueNanos);
    }
    for (const Transponder& t : field) {
        const std::vector<std::int64_t>& own = times[t.id];
        // The first pass falls within the first lap after the beginning.
        EXPECT_GE(own.front(), 5 * kSecond);
        EXPECT_LT(own.front(),
                  5 * kSecond + static_cast<std::int64_t>((t.meanLapSeconds + 3 * t.spreadSeconds) *
                                                          kSecond));
        double sum = 0, squares = 0;
        for (std::size_t n = 1; n < own.size(); ++n) {
            const double lap = static_cast<double>(own[n] - own[n - 1]) / kSecond;
            EXPECT_LE(std::abs(lap - t.meanLapSeconds), 3 * t.spreadSeconds + 1e-9);
            sum += lap;
            squares += lap * lap;
        }
        const double laps = static_cast<double>(own.size() - 1);
        const double mean = sum / laps;
        EXPECT_NEAR(mean, t.meanLapSeconds, 0.1 * t.spreadSeconds + 0.05);
        EXPECT_NEAR(std::sqrt(squares / laps - mean * mean), t.spreadSeconds,
                    0.15 * t.spreadSeconds);
    }
}

TEST(LappingSource, EveryTransponderFinishesAtItsFirstPassAfterTheFinish) {
    SeededRandom random(9);
    const std::int64_t finish = 60 * kSecond;
    LappingSource source(Field(12, 4.0, 0.6), 0, finish, random);
    const std::vector<Transmission> passes = Drain(source, 100'000);
    ASSERT_LT(passes.size(), 100'000u) << "a race with a finish must end";

    std::map<int, std::vector<std::int64_t>> times;
    for (const Transmission& t : passes) times[t.bytes[3]].push_back(t.dueNanos);
    ASSERT_EQ(times.size(), 12u);
    for (const auto& [id, own] : times) {
        SCOPED_TRACE(id);
        // Only the last pass is after the finish...
        EXPECT_GT(own.back(), finish);
        if (own.size() > 1) {
            EXPECT_LT(own[own.size() - 2], finish);
        }
        // ...and no pass is close enough to it to land on the wrong side.
        for (std::int64_t t : own) EXPECT_GE(std::llabs(t - finish), kFinishGuardNanos);
    }
}

TEST(LappingSource, FinishBeforeTheFirstPassesGivesOnePassEach) {
    SeededRandom random(2);
    LappingSource source(Field(5, 10.0, 1.0), 0, -kSecond, random);
    EXPECT_EQ(Drain(source, 100).size(), 5u);
}

TEST(LappingSource, ShortestLapIsFiftyMilliseconds) {
    SeededRandom random(4);
    for (int n = 0; n < 1'000; ++n)
        EXPECT_GE(LappingSource::DrawLapNanos({1, 0.01, 5.0}, random), 50'000'000);
}

TEST(SaturatingSource, FramesAreDueAtOnceAndShareTheLineAmongTheIds) {
    SeededRandom random(6);
    SaturatingSource source({2, 4, 6, 8}, random);
    std::map<int, int> counts;
    for (const Transmission& t : Drain(source, 8'000)) {
        EXPECT_EQ(t.dueNanos, std::numeric_limits<std::int64_t>::min());
        ++counts[t.bytes[3]];
    }
    ASSERT_EQ(counts.size(), 4u);
    for (const auto& [id, n] : counts) EXPECT_NEAR(n, 2'000, 200) << id;
}

TEST(NoisySource, NoiseGoesJustBeforeAPassAtTheGivenRate) {
    SeededRandom random(8);
    NoisySource source(std::make_unique<SaturatingSource>(std::vector<std::uint8_t>{1}, random),
                       0.25, random);
    const std::vector<Transmission> all = Drain(source, 20'000);
    int passes = 0;
    int noise = 0;
    for (std::size_t n = 0; n < all.size(); ++n) {
        if (all[n].kind == TransmissionKind::Pass) {
            ++passes;
            continue;
        }
        ++noise;
        // Every burst is followed by the pass it was put before, due together.
        ASSERT_LT(n + 1, all.size());
        EXPECT_EQ(all[n + 1].kind, TransmissionKind::Pass);
        EXPECT_EQ(all[n + 1].dueNanos, all[n].dueNanos);
    }
    EXPECT_NEAR(static_cast<double>(noise) / passes, 0.25, 0.02);
}

TEST(NoisySource, ZeroRateAddsNothing) {
    SeededRandom random(8);
    NoisySource source(std::make_unique<SaturatingSource>(std::vector<std::uint8_t>{1}, random),
                       0.0, random);
    for (const Transmission& t : Drain(source, 1'000)) EXPECT_EQ(t.kind, TransmissionKind::Pass);
}

TEST(JournalPlayback, RxEventsArePlayedWithTheirOriginalSpacing) {
    const std::string journal =
        "palomind-journal 1\n"
        "1000 racetime 480\n"
        "1000 boot\n"
        "2000 start\n"
        "2500 rx fe fe fe 05\n"
        "2503 rx 10 20 35\n"
        "3000 clock\n"
        "4500 rx 01\n";
    std::vector<RecordedReception> receptions;
    std::string error;
    ASSERT_TRUE(ReadRecordedReceptions(journal, receptions, error)) << error;
    ASSERT_EQ(receptions.size(), 3u);
    EXPECT_EQ(receptions[1].bytes, (Bytes{0x10, 0x20, 0x35}));

    PlaybackSource source(receptions, 7 * kSecond);
    const std::vector<Transmission> all = Drain(source, 10);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].dueNanos, 7 * kSecond);
    EXPECT_EQ(all[1].dueNanos, 7 * kSecond + 3'000'000);
    EXPECT_EQ(all[2].dueNanos, 9 * kSecond);
    EXPECT_EQ(all[0].bytes, (Bytes{0xFE, 0xFE, 0xFE, 0x05}));
    EXPECT_EQ(all[2].kind, TransmissionKind::Recorded);
}

TEST(JournalPlayback, SpacingSurvivesTheTickCounterWrap) {
    PlaybackSource source({{2147483000, {1}}, {-2147483000, {2}}}, 0);
    source.Next();
    // 648 ms to the wrap and 648 ms past it.
    EXPECT_EQ(source.Next()->dueNanos, 1'296'000'000);
}

TEST(JournalPlayback, TextThatIsNoJournalIsRefusedWithItsLine) {
    std::vector<RecordedReception> receptions;
    std::string error;
    EXPECT_FALSE(ReadRecordedReceptions("palomind-journal 1\n5 rx zz\n", receptions, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(ReadRecordedReceptions("hello\n", receptions, error));
}

}  // namespace
}  // namespace palomind::simulator
