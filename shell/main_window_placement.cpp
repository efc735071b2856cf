#include "shell/main_window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

#include "shell/twips.h"

namespace palomind {
namespace {

int ToPixels(float twips, int dpi) {
    return TwipsToPixels(static_cast<int>(std::lround(twips)), dpi);
}

float ToTwips(int pixels, int dpi) {
    return static_cast<float>(pixels) * static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi);
}

}  // namespace

QMargins WindowFrameMargins(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - outer.left(), client.top() - outer.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom()};
}

MainWindowPlacement::MainWindowPlacement(SettingsStore& settings, FrameMargins frame,
                                         std::string_view keys,
                                         std::chrono::milliseconds storeInterval)
    : settings_(settings), frame_(std::move(frame)), keys_(keys), storeInterval_(storeInterval) {
    storeTimer_.setSingleShot(true);
    connect(&storeTimer_, &QTimer::timeout, this, [this] {
        if (moving_ != nullptr) Store(*moving_);
    });
}

void MainWindowPlacement::Restore(QWidget& window) {
    read_ = LoadWindowPlacement(settings_, keys_);
    const int dpiX = window.logicalDpiX();
    const int dpiY = window.logicalDpiY();
    restoredPos_ = {ToPixels(read_.left, dpiX), ToPixels(read_.top, dpiY)};
    restoredOuter_ = {ToPixels(read_.width, dpiX), ToPixels(read_.height, dpiY)};
    restoredFrame_ = frame_(window);
    restoredClient_ = restoredOuter_.shrunkBy(restoredFrame_);
    // The position is the outer window's already.
    window.move(restoredPos_);
    window.resize(restoredClient_);
    // Where the frame is added only once the window is shown, the client
    // size is corrected then (eventFilter).
    correctingFrame_ = true;
    window.installEventFilter(this);

    // A placement stored on a screen that is no longer attached would open
    // the window where nobody can see it: bring it to the primary screen.
    const QRect placed(window.pos(), restoredOuter_);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(placed)) return;
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        window.move(primary->availableGeometry().topLeft());
    }
}

bool MainWindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window == nullptr || (event->type() != QEvent::Move && event->type() != QEvent::Resize)) {
        return false;
    }
    if (correctingFrame_) CorrectFrame(*window);
    // Before it is shown, the window is only being placed as stored.
    if (window->isVisible()) StoreSoon(*window);
    return false;
}

void MainWindowPlacement::CorrectFrame(QWidget& window) {
    // Once the operator has changed the size, it is theirs.
    if (window.size() != restoredClient_) {
        correctingFrame_ = false;
        return;
    }
    const QMargins frame = frame_(window);
    if (frame != restoredFrame_) {
        restoredFrame_ = frame;
        restoredClient_ = restoredOuter_.shrunkBy(frame);
        window.resize(restoredClient_);
    }
}

void MainWindowPlacement::StoreSoon(QWidget& window) {
    moving_ = &window;
    // A store already waiting takes this change too.
    if (storeTimer_.isActive()) return;
    const auto since =
        sinceStored_.isValid() ? std::chrono::milliseconds(sinceStored_.elapsed()) : storeInterval_;
    storeTimer_.start(std::max(std::chrono::milliseconds(0), storeInterval_ - since));
}

void MainWindowPlacement::Store(const QWidget& window) {
    if (window.isMinimized()) return;
    const int dpiX = window.logicalDpiX();
    const int dpiY = window.logicalDpiY();
    const QSize outer = window.size().grownBy(frame_(window));
    WindowPlacement placement{ToTwips(window.x(), dpiX), ToTwips(window.y(), dpiY),
                              ToTwips(outer.width(), dpiX), ToTwips(outer.height(), dpiY)};
    // A value whose pixels are still those it was restored to is stored as
    // it was read: converted back it would drift (10000 twips are 666.67
    // pixels at 96 dpi, and 667 pixels are 10005 twips).
    if (window.x() == restoredPos_.x()) placement.left = read_.left;
    if (window.y() == restoredPos_.y()) placement.top = read_.top;
    if (window.width() == restoredClient_.width()) placement.width = read_.width;
    if (window.height() == restoredClient_.height()) placement.height = read_.height;
    SaveWindowPlacement(settings_, placement, keys_);
    sinceStored_.start();
}

}  // namespace palomind
