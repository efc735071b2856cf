#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/filed_heat_result.h"
#include "app/transponder_check.h"
#include "meeting/meeting_schedule.h"

namespace palomind {

// What the meeting window's tables show, one row of cells each, built from
// the session's values (never from text shown elsewhere).

// 未実施, 実施中, 完了, ストップ, 暫定, 置き換え.
QString HeatStateText(HeatState state);

// The running order: the next heat marked "▶", title, class, round
// ("練習", "予選<n>", "決勝"), entrants and state.
QStringList ScheduleHeaders();
std::vector<QStringList> ScheduleRows(const std::vector<ScheduledHeat>& schedule,
                                      std::optional<std::size_t> next);

// A heat's entrants in draw order until a result is filed; then the result's
// order: place (or "DNS", "DQ"), entry number, name, transponder, car, club,
// laps, time, best lap, and for practice the best three consecutive laps.
QStringList HeatHeaders();
std::vector<QStringList> HeatRows(const ScheduledHeat& heat, const FiledHeatResult* filed);

// The passes of transponders in no entrant of the heat: transponder, passes.
QStringList NotEnteredHeaders();
std::vector<QStringList> NotEnteredRows(const HeatResult& result);

// The transponder check: every transponder of the heat with its entrants'
// names and "確認済み" or "未確認", then the strangers seen ("ヒート外").
enum class CheckMark { Seen, Missing, Stranger };
struct CheckRow {
    QStringList cells;
    CheckMark mark = CheckMark::Missing;
};
QStringList CheckHeaders();
std::vector<CheckRow> CheckRows(const ScheduledHeat& heat, const TransponderCheck& check);

}  // namespace palomind
