#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/race_engine.h"
#include "tests/support/platform_fakes.h"

namespace palomind::testing {

// An engine over a race state, window model and roster of its own, with a
// clock the test sets by hand.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() {
        for (int id = 1; id <= 64; ++id)
            names[static_cast<std::size_t>(id)] = "N" + std::to_string(id);
        state.RaceTime = 480;
        state.StartWait = 10;
    }

    void At(std::int32_t ms) { clock.Set(ms); }
    // A pass of `id` at tick `ms`, as the toolbar or the decoder hands it on.
    void Pass(int id, std::int32_t ms) {
        At(ms);
        state.PassId = static_cast<std::uint8_t>(id);
        engine.ProcessPass();
    }
    // Runs the 10 ms timer from the current tick up to and including `ms`.
    void TickUntil(std::int32_t ms) {
        for (std::int32_t t = (clock.TimeGetTime() / 10 + 1) * 10; t <= ms; t += 10) {
            At(t);
            engine.Timer1_Timer();
        }
        At(ms);
    }
    // Reset at `ms`, then start the race with the current parameters.
    void StartAt(std::int32_t ms) {
        At(ms);
        engine.StartRace();
    }
    const std::string& Standing(int row, int col) { return window.Standings.TextMatrix(row, col); }
    const std::string& LapCell(int row, int col) { return window.LapHistory.TextMatrix(row, col); }

    RaceState state;
    RaceWindowModel window;
    RosterTable names;
    SetTickClock clock;
    RecordingSoundPlayer sound;
    RaceEngine engine{state, window, names, clock, sound};
};

}  // namespace palomind::testing
