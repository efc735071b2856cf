#pragma once
#include <QObject>
#include <QString>

class QEvent;
class QLabel;
class QMainWindow;

namespace palomind {

class SimulatedReceiverPort;

// Tells the operator plainly, for as long as the receiver is simulated, that
// the passes on show come from the simulator and not from a receiver: a mark
// at the end of the main window's title and a panel in its status bar.
class SimulationNotice final : public QObject {
  public:
    SimulationNotice(QMainWindow& window, SimulatedReceiverPort& port);
    ~SimulationNotice() override;
    SimulationNotice(const SimulationNotice&) = delete;
    SimulationNotice& operator=(const SimulationNotice&) = delete;

    void Show(bool simulating);

    static QString TitleMark();
    static QString PanelText();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void MarkTitle();

    QMainWindow& window_;
    SimulatedReceiverPort& port_;
    QLabel* panel_;
    bool shown_ = false;
};

}  // namespace palomind
