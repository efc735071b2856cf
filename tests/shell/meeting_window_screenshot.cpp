// Draws the meeting window of a club day under way and saves it as a PNG:
//   meeting_window_screenshot WINDOW.png ENTRIES.png
// Two classes with practice and a qualifying round: the practice sessions
// and the first heat run, the second heat stopped, the next heat loaded and
// its transponder check showing entrants seen, one not yet seen and a
// transponder that is not in the heat. The races run through the real
// application over a stand-in receiver and a tick counter moved by the
// program, so the picture is the same on every run. The second picture is
// the window's entry list.
#include <QTabWidget>
#include <iostream>

#include "shell/meeting_window.h"
#include "tests/support/drawing_program.h"
#include "tests/support/meeting_harness.h"

namespace palomind::testing {
namespace {

MeetingEntry EntrantOf(const std::string& classId, std::int64_t number, const char* name,
                       std::int64_t transponder, const char* car, const char* club) {
    MeetingEntry entry = Entrant(number, name, transponder);
    entry.classId = classId;
    entry.car = car;
    entry.club = club;
    return entry;
}

Heat HeatOf(const std::string& classId, std::int64_t number, std::vector<std::int64_t> entrants) {
    return {.id = QualifyingHeatId(classId, 1, number),
            .number = number,
            .entrants = std::move(entrants),
            .records = {}};
}

Meeting ClubDay() {
    Meeting meeting;
    meeting.name = "冬季クラブレース 第2戦";
    meeting.date = "2026-12-13";
    MeetingClass& gt = AddClass(meeting, "GTクラス");
    gt.raceTimeS = 20;
    gt.startWaitS = 2;
    gt.practiceTimeS = 20;
    gt.heatSize = 4;
    gt.rounds = 2;
    const std::string g = gt.id;  // adding a class moves the classes
    MeetingClass& touring = AddClass(meeting, "ツーリング");
    touring.raceTimeS = 20;
    touring.startWaitS = 2;
    touring.practiceTimeS = 20;
    touring.rounds = 2;
    const std::string t = touring.id;
    meeting.entries = {
        EntrantOf(g, 1, "佐藤 一郎", 3, "TRF421", "RC湘南"),
        EntrantOf(g, 2, "鈴木 健太", 5, "XRAY T4", "チーム疾風"),
        EntrantOf(g, 3, "高橋 翔", 7, "BD12", ""),
        EntrantOf(g, 4, "田中 美咲", 9, "TRF421", "RC湘南"),
        EntrantOf(g, 5, "伊藤 大輔", 12, "IF14-II", "港北RC"),
        EntrantOf(g, 6, "渡辺 蓮", 15, "BD12", ""),
        EntrantOf(g, 7, "山本 陸", 18, "XRAY T4", "チーム疾風"),
        EntrantOf(t, 8, "中村 悠", 21, "TT-02", "港北RC"),
        EntrantOf(t, 9, "小林 凛", 24, "TT-02", ""),
        EntrantOf(t, 10, "加藤 颯", 27, "TA08", "RC湘南"),
    };
    MeetingRound gtRound{.classId = g, .number = 1, .seed = 2026, .heats = {}};
    gtRound.heats = {HeatOf(g, 1, {4, 1, 6, 2}), HeatOf(g, 2, {7, 3, 5})};
    MeetingRound touringRound{.classId = t, .number = 1, .seed = 1213, .heats = {}};
    touringRound.heats = {HeatOf(t, 1, {10, 8, 9})};
    meeting.rounds = {gtRound, touringRound};
    return meeting;
}

int Run(const QStringList& outputs) {
    MeetingHarness h;
    h.OpenMeeting(ClubDay());
    const auto run = [&h](const std::string& heat, const std::vector<std::uint8_t>& ids) {
        if (!h.session.PrepareHeat(heat).empty()) std::cerr << "cannot prepare " << heat << '\n';
        // Four laps of the 20 s race time: every one finished.
        h.RunStoppedRace(ids, {6'400, 5'950, 6'300, 6'100});
    };
    run("c1-p", {3, 5, 7, 9, 12, 15, 18});
    run("c2-p", {21, 24, 27});
    run("c1-q1-1", {9, 3, 15, 5, 33});
    // The second heat stopped short: it stays to run until accepted.
    if (!h.session.PrepareHeat("c1-q1-2").empty()) std::cerr << "cannot prepare c1-q1-2\n";
    h.RunStoppedRace({18, 7, 12}, {6'200, 6'050});

    MeetingWindow window(h.session, h.dialogs);
    window.resize(1180, 760);
    window.show();
    if (!h.session.PrepareHeat("c2-q1-1").empty()) std::cerr << "cannot prepare c2-q1-1\n";
    window.Refresh();
    // Two of the heat's three on the track before the start, and a
    // transponder that is in no entrant of the heat.
    for (const int id : {27, 21, 40}) h.Pass(static_cast<std::uint8_t>(id));
    h.RunFor(20);
    bool saved = SavePicture(window, outputs[0], 400);
    window.findChild<QTabWidget*>(QStringLiteral("meetingTabs"))->setCurrentIndex(1);
    saved = SavePicture(window, outputs[1], 400) && saved;
    window.hide();
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace palomind::testing

int main(int argc, char** argv) {
    return palomind::testing::DrawingProgramMain(
        argc, argv, "meeting_window_screenshot WINDOW.png ENTRIES.png", 2, palomind::testing::Run);
}
