#pragma once
#include <QDialog>
#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "app/race_revision.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace palomind {

// "ラップ修正": one entrant's passes of the race shown, and the buttons that
// correct them. A view: it reads the race's record and its latest revision,
// and corrects only through the application's command. The audit list at
// the bottom scores every revision, so it is built on a thread of its own.
class LapReviewWindow final : public QDialog, private RaceEventListener {
    Q_OBJECT
  public:
    explicit LapReviewWindow(Application& app, QWidget* parent = nullptr);
    ~LapReviewWindow() override;

    // Shows the window with the entrant `id` picked (0: the first).
    void ShowEntrant(int id);
    // The pass rows' count and the row picked, for the tests.
    QTableWidget* Passes() const { return passes_; }

    // The buttons' commands (the tests press them through these too).
    void DeletePass();
    void RestorePass();
    void AddPass();
    void SplitLap();
    void AcceptShortLap();
    void Disqualify();
    void Reinstate();
    void AssignPasses();
    void Penalize();
    void Undo();

  private:
    void OnRaceEvent(const RaceEvent& event) override;
    void Rescore();
    void ShowPasses();
    void BuildAudit();
    void Correct(Correction correction);
    void CorrectPickedPass(CorrectionOperation operation);
    int PickedId() const;
    const RacePass* PickedPass() const;

    Application& app_;
    std::optional<RaceRecord> record_;
    std::optional<Revision> latest_;
    std::vector<RacePass> shown_;  // the picked entrant's passes, as listed
    QComboBox* entrants_ = nullptr;
    QTableWidget* passes_ = nullptr;
    QLineEdit* reason_ = nullptr;
    QLineEdit* operator_ = nullptr;
    QListWidget* audit_ = nullptr;
    std::atomic<int> auditGeneration_{0};
    // Last: joined before anything it reads is gone.
    std::jthread auditor_;
};

}  // namespace palomind
