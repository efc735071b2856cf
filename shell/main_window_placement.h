#pragma once
#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "app/window_placement.h"
#include "platform/settings_store.h"

class QWidget;

namespace palomind {

// The frame the window system draws around a window (title bar and borders),
// in pixels. Some systems (X11) add it only after the window is shown; with
// no window manager there is none.
using FrameMargins = std::function<QMargins(const QWidget& window)>;
QMargins WindowFrameMargins(const QWidget& window);

// A window's place and size in the settings store (the main window's by
// default): the outer window, frame included, in twips at the screen's
// logical DPI. While the window is shown, each move or resize is stored too,
// at most once per `storeInterval` and always the last one, so a crash loses
// at most that much of it.
class MainWindowPlacement final : public QObject {
  public:
    static constexpr std::chrono::milliseconds kStoreInterval{1000};

    explicit MainWindowPlacement(SettingsStore& settings, FrameMargins frame = WindowFrameMargins,
                                 std::string_view keys = kMainWindowKeys,
                                 std::chrono::milliseconds storeInterval = kStoreInterval);

    // Places `window` as stored, on a screen that is attached.
    void Restore(QWidget& window);
    // Stores the placement of `window`; a minimized one keeps the stored one.
    void Store(const QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CorrectFrame(QWidget& window);
    void StoreSoon(QWidget& window);

    SettingsStore& settings_;
    FrameMargins frame_;
    std::string keys_;
    WindowPlacement read_;
    // What the values read gave in pixels: the window's position, its outer
    // size, the frame taken off it and the client size that remained.
    QPoint restoredPos_;
    QSize restoredOuter_;
    QMargins restoredFrame_;
    QSize restoredClient_;
    bool correctingFrame_ = false;
    // The throttle of the stores while the window moves: the trailing store
    // waits on the timer, and the last store's time keeps them apart.
    std::chrono::milliseconds storeInterval_;
    QTimer storeTimer_;
    QElapsedTimer sinceStored_;
    QWidget* moving_ = nullptr;
};

}  // namespace palomind
