#include "shell/redraw_pacer.h"

#include <utility>

namespace palomind {

RedrawPacer::RedrawPacer(std::function<void()> redraw) : redraw_(std::move(redraw)) {
    pending_.setSingleShot(true);
    QObject::connect(&pending_, &QTimer::timeout, &pending_, [this] { Redraw(); });
}

void RedrawPacer::Changed() {
    if (!sinceRedraw_.isValid() || sinceRedraw_.elapsed() >= kIntervalMs) {
        Redraw();
    } else if (!pending_.isActive()) {
        pending_.start(static_cast<int>(kIntervalMs - sinceRedraw_.elapsed()));
    }
}

void RedrawPacer::Redraw() {
    pending_.stop();
    sinceRedraw_.start();
    redraw_();
}

}  // namespace palomind
