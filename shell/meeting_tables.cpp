#include "shell/meeting_tables.h"

#include <map>

#include "engine/time_format.h"
#include "meeting/qualifying_ranking.h"

namespace palomind {

namespace {

// Practice shows each entrant's best run of this many laps in a row.
constexpr std::size_t kPracticeWindow = 3;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Number(std::int64_t value) {
    return QString::number(value);
}

QString MsText(std::optional<std::int64_t> ms) {
    return ms ? Text(FormatMilliseconds(*ms)) : QString();
}

QString RoundText(const ScheduledHeat& heat) {
    switch (heat.kind) {
        case HeatKind::Practice:
            return QStringLiteral("練習");
        case HeatKind::Qualifying:
            return QStringLiteral("予選") + Number(heat.round.value_or(0));
        case HeatKind::Main:
            break;
    }
    return QStringLiteral("決勝");
}

QString PlaceText(const EntrantResult& result) {
    if (result.status == EntrantStatus::Dq) return QStringLiteral("DQ");
    return result.place ? Number(*result.place) : QString();
}

}  // namespace

QString HeatStateText(HeatState state) {
    switch (state) {
        case HeatState::ToRun:
            return QStringLiteral("未実施");
        case HeatState::Running:
            return QStringLiteral("実施中");
        case HeatState::Done:
            return QStringLiteral("完了");
        case HeatState::Stopped:
            return QStringLiteral("ストップ");
        case HeatState::Provisional:
            return QStringLiteral("暫定");
        case HeatState::Replaced:
            break;
    }
    return QStringLiteral("置き換え");
}

QStringList ScheduleHeaders() {
    return {QStringLiteral("次"),       QStringLiteral("ヒート"), QStringLiteral("クラス"),
            QStringLiteral("ラウンド"), QStringLiteral("人数"),   QStringLiteral("状態")};
}

std::vector<QStringList> ScheduleRows(const std::vector<ScheduledHeat>& schedule,
                                      std::optional<std::size_t> next) {
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        const ScheduledHeat& heat = schedule[i];
        rows.push_back({next == i ? QStringLiteral("▶") : QString(), Text(heat.title),
                        Text(heat.className), RoundText(heat),
                        Number(static_cast<std::int64_t>(heat.entrants.size())),
                        HeatStateText(heat.state)});
    }
    return rows;
}

QStringList HeatHeaders() {
    return {QStringLiteral("順位"),         QStringLiteral("番号"),
            QStringLiteral("氏名"),         QStringLiteral("ID"),
            QStringLiteral("車両"),         QStringLiteral("クラブ"),
            QStringLiteral("周回"),         QStringLiteral("タイム"),
            QStringLiteral("ベストラップ"), QStringLiteral("連続3周ベスト")};
}

std::vector<QStringList> HeatRows(const ScheduledHeat& heat, const FiledHeatResult* filed) {
    std::map<std::int64_t, const MeetingEntry*> byNumber;
    for (const MeetingEntry& entry : heat.entrants) byNumber[entry.number] = &entry;
    const auto entrantCells = [](const MeetingEntry& entry) {
        return QStringList{Number(entry.number), Text(entry.name), Number(entry.transponder),
                           Text(entry.car), Text(entry.club)};
    };
    std::vector<QStringList> rows;
    if (filed == nullptr) {
        for (const MeetingEntry& entry : heat.entrants)
            rows.push_back(QStringList{QString()} + entrantCells(entry) +
                           QStringList{QString(), QString(), QString(), QString()});
        return rows;
    }
    const bool practice = heat.kind == HeatKind::Practice;
    for (const HeatEntrantResult& entrant : filed->heat.entrants) {
        const MeetingEntry& entry = *byNumber.at(entrant.number);
        if (!entrant.result) {
            rows.push_back(QStringList{QStringLiteral("DNS")} + entrantCells(entry) +
                           QStringList{Number(0), QString(), QString(), QString()});
            continue;
        }
        const EntrantResult& result = *entrant.result;
        const std::optional<std::int64_t> window =
            practice ? BestConsecutiveLaps(result.lapMs, kPracticeWindow) : std::nullopt;
        rows.push_back(QStringList{PlaceText(result)} + entrantCells(entry) +
                       QStringList{Number(result.laps), MsText(result.timeMs),
                                   MsText(result.bestMs), MsText(window)});
    }
    return rows;
}

QStringList NotEnteredHeaders() {
    return {QStringLiteral("ID"), QStringLiteral("通過数")};
}

std::vector<QStringList> NotEnteredRows(const HeatResult& result) {
    std::vector<QStringList> rows;
    for (const NotEnteredPasses& stranger : result.notEntered)
        rows.push_back({Number(stranger.id), Number(stranger.passes)});
    return rows;
}

QStringList CheckHeaders() {
    return {QStringLiteral("ID"), QStringLiteral("氏名"), QStringLiteral("確認")};
}

std::vector<CheckRow> CheckRows(const ScheduledHeat& heat, const TransponderCheck& check) {
    // Entrants sharing a transponder (a practice session) share its row.
    std::map<int, QStringList> names;
    for (const MeetingEntry& entry : heat.entrants)
        names[static_cast<int>(entry.transponder)].push_back(Text(entry.name));
    std::vector<CheckRow> rows;
    for (const auto& [id, entrants] : names) {
        const bool seen = check.SeenInHeat().contains(id);
        rows.push_back({{Number(id), entrants.join(QStringLiteral("・")),
                         seen ? QStringLiteral("確認済み") : QStringLiteral("未確認")},
                        seen ? CheckMark::Seen : CheckMark::Missing});
    }
    for (const int id : check.Strangers())
        rows.push_back({{Number(id), QString(), QStringLiteral("ヒート外")}, CheckMark::Stranger});
    return rows;
}

}  // namespace palomind
