#pragma once
#include <cstdio>
#include <string>

#include "engine/race_state.h"
#include "engine/race_window_model.h"

namespace palomind::test {

inline std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Lap k of entrant n, unique for k < 100 and n < 100.
inline std::string LapText(int k, int n) {
    return Digits(k, 2) + "m" + Digits(n, 2) + "s00";
}

// A finished race as the race window shows it: `entrants` entrants with IDs
// 11, 12, ... named "Rider n", each with `laps` laps; standings places beyond
// the field keep their placeholders.
struct SampleRace {
    RaceState state;
    RaceWindowModel model;

    SampleRace(int entrants, int laps) {
        state.RaceTime = 300;
        state.EntryCount = static_cast<std::int16_t>(entrants);
        state.RunningCount = 0;
        state.MaxLap = static_cast<std::int16_t>(laps);

        GridModel& standings = model.Standings;
        const char* headers[] = {"順位", "ID", "Name", "Lap", "Time", "Lap", "Best"};
        for (int c = 0; c < kStandingsCols; ++c) standings.SetTextMatrix(0, c, headers[c]);
        for (int p = 1; p < kStandingsRows; ++p) {
            standings.SetTextMatrix(p, 0, std::to_string(p));
            if (p > entrants) {
                standings.SetTextMatrix(p, 1, "--");
                standings.SetTextMatrix(p, 3, "---");
                continue;
            }
            standings.SetTextMatrix(p, 1, Digits(10 + p, 2));
            standings.SetTextMatrix(p, 2, "Rider " + std::to_string(p));
            standings.SetTextMatrix(p, 3, Digits(laps, 3));
            standings.SetTextMatrix(p, 4, "00h05m" + Digits(p, 2) + "s00");
            standings.SetTextMatrix(p, 5, "00m3" + Digits(p % 10, 1) + "s00");
            standings.SetTextMatrix(p, 6, "00m2" + Digits(p % 10, 1) + "s00");
        }

        GridModel& history = model.LapHistory;
        if (laps > 16) history.SetRows(laps + 2);
        history.SetTextMatrix(0, 0, "Lap");
        for (int n = 1; n <= entrants && n < kLapHistoryCols; ++n) {
            history.SetTextMatrix(0, n, "ID" + Digits(10 + n, 2));
            history.SetTextMatrix(1, n, "Rider " + std::to_string(n));
            for (int k = 1; k <= laps; ++k) history.SetTextMatrix(k + 1, n, LapText(k, n));
        }
        for (int k = 1; k <= laps; ++k) history.SetTextMatrix(k + 1, 0, std::to_string(k));
    }
};

}  // namespace palomind::test
