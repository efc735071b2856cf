#include "shell/simulation_notice.h"

#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "shell/simulated_receiver.h"

namespace palomind {

SimulationNotice::SimulationNotice(QMainWindow& window, SimulatedReceiverPort& port)
    : QObject(&window), window_(window), port_(port), panel_(new QLabel(PanelText(), &window)) {
    panel_->setFrameShape(QFrame::Panel);
    panel_->setFrameShadow(QFrame::Sunken);
    panel_->setStyleSheet(QStringLiteral("QLabel { color: #0040c0; font-weight: bold; }"));
    panel_->hide();
    window_.statusBar()->addWidget(panel_);
    // The window rewrites its own title (to show warnings); the mark is put
    // back after every such change.
    window_.installEventFilter(this);
    port_.SetSimulationObserver([this](bool simulating) { Show(simulating); });
}

SimulationNotice::~SimulationNotice() {
    port_.SetSimulationObserver(nullptr);
    window_.removeEventFilter(this);
}

QString SimulationNotice::TitleMark() {
    return QStringLiteral(" - 受信機シミュレーション中");
}

QString SimulationNotice::PanelText() {
    return QStringLiteral("受信機シミュレーション中 (設定 > 通信ポートで切り替え)");
}

void SimulationNotice::Show(bool simulating) {
    shown_ = simulating;
    panel_->setVisible(simulating);
    MarkTitle();
}

void SimulationNotice::MarkTitle() {
    const QString title = window_.windowTitle();
    const bool marked = title.endsWith(TitleMark());
    if (shown_ && !marked) window_.setWindowTitle(title + TitleMark());
    if (!shown_ && marked) window_.setWindowTitle(title.chopped(TitleMark().size()));
}

bool SimulationNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowTitleChange) MarkTitle();
    return QObject::eventFilter(watched, event);
}

}  // namespace palomind
