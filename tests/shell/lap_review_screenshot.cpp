// Draws the lap review window after a race with one correction and saves it
// as a PNG (docs/lap-review.png):  lap_review_screenshot OUTPUT.png
// The race runs through the real main window over a stand-in serial port
// and a tick counter moved by the program, so the picture is the same on
// every run.
#include <QLineEdit>
#include <QTableWidget>

#include "record/race_record_folder.h"
#include "shell/lap_review_window.h"
#include "tests/support/drawing_program.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

int Run(const QString& output) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", SettingsFileBytes(1, 60, 10, 0));
    h.WriteFile("idname.ind", RosterFileBytes());
    h.Start();
    RaceRecordFolder folder("races");
    RaceRecorder recorder(folder, RaceRecorder::WhenTaken::NextNumber, std::nullopt);
    h.app->KeepRaceRecords(&recorder);
    h.Press("レース開始");
    // IDs 3, 5 and 7 lapping in about 9 s; ID 5 crosses twice in 0.3 s.
    const std::uint8_t ids[] = {3, 5, 7};
    for (int lap = 0; lap < 7; ++lap)
        for (int i = 0; i < 3; ++i) {
            h.RunClockUntil(1'011'000 + lap * 9'000 + i * 700 + (lap * (i + 3)) % 400);
            h.serial.Receive(Frame(ids[i]));
            if (lap == 3 && ids[i] == 5) {
                h.RunClockUntil(h.Now() + 300);
                h.serial.Receive(Frame(5));
            }
        }
    h.RunClockUntil(1'080'000);
    h.Press("ストップ");
    h.window->OpenLapReview(5);
    LapReviewWindow& review = *h.window->LapReview();
    review.findChild<QLineEdit*>(QStringLiteral("txtOperator"))->setText(QStringLiteral("山田"));
    review.findChild<QLineEdit*>(QStringLiteral("txtReason"))->setText(QStringLiteral("二重検知"));
    review.Passes()->setCurrentCell(4, 0);  // the 0.3 s lap's end
    review.DeletePass();
    const bool saved = SavePicture(review, output, 1000);
    h.app->KeepRaceRecords(nullptr);
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace palomind::testing

int main(int argc, char** argv) {
    return palomind::testing::DrawingProgramMain(
        argc, argv, "lap_review_screenshot OUTPUT.png", 1,
        [](const QStringList& outputs) { return palomind::testing::Run(outputs.front()); });
}
