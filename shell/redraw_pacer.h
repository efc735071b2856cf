#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace palomind {

// Paces the race window's redraws. A receiver line at full rate delivers
// some 270 blocks a second; redrawing the race window for each took half a
// core. A change is drawn at once when the last redraw is older than the
// pacing interval, otherwise once at the end of it, so no change waits more
// than 40 ms to be seen.
class RedrawPacer {
  public:
    // At most once an interval: by default about 25 times a second.
    static constexpr qint64 kIntervalMs = 40;

    explicit RedrawPacer(std::function<void()> redraw, qint64 intervalMs = kIntervalMs);

    void Changed();

  private:
    void Redraw();

    std::function<void()> redraw_;
    qint64 intervalMs_;
    QTimer pending_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace palomind
