#pragma once
#include <QSize>
#include <QWidget>

#include "app/application.h"
#include "app/stand_board.h"
#include "shell/main_window_placement.h"
#include "shell/redraw_pacer.h"

namespace palomind {

// How the drivers' stand display divides its height: the status band takes
// two units, the column headings one, and each place one. At 13 units a row
// is more than 1/14 of the height, and 10 places fill the window.
struct StandLayout {
    static constexpr int kUnits = 13;
    static constexpr int kBandUnits = 3;  // the status band and the headings

    int rowHeight = 0;
    int textPixels = 0;       // the text of the band, the headings and the places
    int countdownPixels = 0;  // the seconds to the start
    int placesShown = 0;      // the first places that fit
};
StandLayout StandLayoutFor(QSize size, int places);

// "大型表示": the race for a second screen or a TV at the drivers' stand, in
// a window of its own (F11 full screen, Esc back). It follows the race
// events like the spectators' page does, redrawn at most five times a second,
// and keeps its place, screen and full-screen state per user ("Stand...").
class StandDisplay final : public QWidget, private RaceEventListener {
  public:
    // Read from metres away, five redraws a second are enough; the whole
    // window is drawn each time, and at 1920 x 1080 the race window's 25
    // would cost the window thread more than the race window itself.
    static constexpr qint64 kRedrawIntervalMs = 200;

    explicit StandDisplay(Application& app, QWidget* owner = nullptr);
    ~StandDisplay() override;

    // Shows the window where it was last, or brings it to the front.
    void Open();
    // Keeps its placement for the next run (also when the program ends).
    void StorePlacement();

    // The board as last drawn.
    const StandBoard& Board() const { return board_; }
    StandLayout Layout() const {
        return StandLayoutFor(size(), static_cast<int>(board_.rows.size()));
    }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void OnRaceEvent(const RaceEvent& event) override;
    void Follow(bool following);

    Application& app_;
    StandBoard board_;
    RedrawPacer redraws_;
    MainWindowPlacement placement_;
    bool placed_ = false;
    bool following_ = false;
    bool stale_ = true;  // the race changed since the board was read
};

}  // namespace palomind
