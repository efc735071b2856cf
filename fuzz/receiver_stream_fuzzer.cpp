// The receiver's byte stream through the frame decoder and lap processing,
// with timer ticks, race commands, parameter changes and passes of any ID
// interleaved. The input is a little program of such events (see Op).
//
// Two engines run the same events; the second gets every received block
// byte by byte. However the port splits the stream, the race must come out
// the same. After every event the race must be consistent (race_invariants),
// and every lap counted must have played the lap sound once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/race_engine.h"
#include "engine/receiver_frame.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/race_invariants.h"

namespace palomind::fuzz {
namespace {

enum Op : std::uint8_t {
    kReceive,       // a block of raw bytes: length, bytes
    kReceiveFrame,  // a well-formed frame: ID, data 1, data 2
    kTimerSteps,    // the 10 ms timer, n times
    kTimerLate,     // one timer tick after the window was busy: 10 ms x n (16 bit)
    kClockJump,     // the tick counter moves up to 4.6 hours either way (goes back, wraps)
    kStart,
    kStop,
    kTestPass,     // toolbar button 1 to 3
    kPassOfAnyId,  // a pass of the ID in the next byte, 0 to 255
    kReset,
    kSetRaceTime,   // 32-bit
    kSetStartWait,  // 32-bit
    kSetTtsMode,    // 16-bit
    kOpCount
};

class LapSoundCounter final : public SoundPlayer {
  public:
    void PlaySound(std::string_view fileName) override {
        if (fileName == "lap.wav") ++laps;
    }
    long laps = 0;
};

struct Race {
    Race() {
        for (int id = 1; id <= kMaxId; ++id)
            names[static_cast<std::size_t>(id)] = "N" + std::to_string(id);
    }
    // Back to a freshly started program. Races are reused across inputs:
    // copying over the state keeps its storage, where building a new one
    // would cost more than running most inputs.
    void Restart(const RaceState& pristine) {
        state = pristine;
        window = RaceWindowModel{};
        sound.laps = 0;
    }
    RaceState state;
    RaceWindowModel window;
    RosterTable names;
    SetTickClock clock;
    LapSoundCounter sound;
    RaceEngine engine{state, window, names, clock, sound};
};

// Every lap counted since the reset played the lap sound exactly once.
void CheckLapSounds(const Race& race) {
    long counted = 0;
    for (int id = 0; id <= kMaxId; ++id)
        counted += race.state.LapCount[static_cast<std::size_t>(id)] + 1;
    FUZZ_CHECK(counted == race.sound.laps);
}

class TwoRaces {
  public:
    void Run(ByteProgram& program) {
        static const RaceState pristine;
        whole_.Restart(pristine);
        split_.Restart(pristine);
        clock_ = Clock::Steady;
        SetTick(program.Int32());
        const std::int32_t raceTime = program.Int16();
        const std::int32_t startWait = program.Int16();
        for (Race* race : {&whole_, &split_}) {
            race->state.RaceTime = raceTime;
            race->state.StartWait = startWait;
        }
        Both([](Race& race) { race.engine.ReSet(); });
        AfterReset();
        // A few thousand events are plenty; a bound keeps every input fast.
        for (int events = 0; events < 4000 && !program.AtEnd(); ++events) {
            Step(program);
            Check();
        }
        CheckSameRace(whole_.state, whole_.window, split_.state, split_.window);
    }

  private:
    void Step(ByteProgram& program) {
        switch (program.Byte() % kOpCount) {
            case kReceive: {
                const std::string_view bytes = program.Bytes(program.Byte());
                Receive(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
                break;
            }
            case kReceiveFrame: {
                const std::uint8_t id = program.Byte();
                const std::uint8_t d1 = program.Byte();
                Receive(ReceiverFrame(id, d1, program.Byte()));
                break;
            }
            case kTimerSteps:
                for (int n = program.Byte(); n > 0; --n) {
                    SetTick(static_cast<std::int32_t>(static_cast<std::uint32_t>(tick_) + 10u));
                    Both([](Race& race) { race.engine.Timer1_Timer(); });
                }
                break;
            case kTimerLate:
                SetTick(
                    static_cast<std::int32_t>(static_cast<std::uint32_t>(tick_) +
                                              10u * static_cast<std::uint16_t>(program.Int16())));
                Both([](Race& race) { race.engine.Timer1_Timer(); });
                break;
            case kClockJump: {
                // The clock then catches up every second it skipped, one by
                // one; jumps of days would only make inputs slow. The start
                // tick is arbitrary, so the counter's wrap is reached anyway.
                clock_ = Clock::Jumped;
                const std::int32_t delta = program.Int32() % (1 << 24);
                SetTick(static_cast<std::int32_t>(static_cast<std::uint32_t>(tick_) +
                                                  static_cast<std::uint32_t>(delta)));
                break;
            }
            case kStart:
                Both([](Race& race) { race.engine.StartRace(); });
                AfterReset();
                break;
            case kStop:
                Both([](Race& race) { race.engine.StopRace(); });
                break;
            case kTestPass: {
                const int button = 1 + program.Byte() % 3;
                Both([button](Race& race) { race.engine.TestPass(button); });
                break;
            }
            case kPassOfAnyId: {
                const std::uint8_t id = program.Byte();
                Both([id](Race& race) {
                    race.state.PassId = id;
                    race.engine.ProcessPass();
                });
                break;
            }
            case kReset:
                Both([](Race& race) { race.engine.ReSet(); });
                AfterReset();
                break;
            case kSetRaceTime: {
                const std::int32_t value = program.Int32();
                Both([value](Race& race) { race.state.RaceTime = value; });
                break;
            }
            case kSetStartWait: {
                const std::int32_t value = program.Int32();
                Both([value](Race& race) { race.state.StartWait = value; });
                break;
            }
            case kSetTtsMode: {
                const std::int16_t value = program.Int16();
                Both([value](Race& race) { race.state.TtsMode = value; });
                break;
            }
            default:
                break;
        }
    }

    void Receive(const std::vector<std::uint8_t>& bytes) {
        whole_.engine.OnComm(bytes);
        for (std::uint8_t b : bytes) split_.engine.OnComm(std::span<const std::uint8_t>(&b, 1));
    }

    template <typename Action>
    void Both(Action action) {
        action(whole_);
        action(split_);
    }

    void SetTick(std::int32_t tick) {
        tick_ = tick;
        whole_.clock.Set(tick);
        split_.clock.Set(tick);
    }

    void AfterReset() {
        whole_.sound.laps = 0;
        split_.sound.laps = 0;
    }

    void Check() {
        CheckRaceInvariants(whole_.state, whole_.window, clock_);
        CheckLapSounds(whole_);
    }

    Race whole_;
    Race split_;
    std::int32_t tick_ = 0;
    Clock clock_ = Clock::Steady;
};

}  // namespace
}  // namespace palomind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    palomind::fuzz::ByteProgram program(data, size);
    static palomind::fuzz::TwoRaces races;
    races.Run(program);
    return 0;
}
