#include "shell/redraw_pacer.h"

#include <utility>

namespace palomind {

RedrawPacer::RedrawPacer(std::function<void()> redraw, qint64 intervalMs)
    : redraw_(std::move(redraw)), intervalMs_(intervalMs) {
    pending_.setSingleShot(true);
    QObject::connect(&pending_, &QTimer::timeout, &pending_, [this] { Redraw(); });
}

void RedrawPacer::Changed() {
    if (!sinceRedraw_.isValid() || sinceRedraw_.elapsed() >= intervalMs_) {
        Redraw();
    } else if (!pending_.isActive()) {
        pending_.start(static_cast<int>(intervalMs_ - sinceRedraw_.elapsed()));
    }
}

void RedrawPacer::Redraw() {
    pending_.stop();
    sinceRedraw_.start();
    redraw_();
}

}  // namespace palomind
