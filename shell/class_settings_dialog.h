#pragma once
#include <QDialog>

#include "meeting/meeting_model.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace palomind {

// "クラス追加..." and "クラス設定...": a class's name and settings, each box
// held to the limits meeting/class_settings.h gives (the ones the command
// line's --class keeps), so that only what crosses settings (bump-ups below
// the main size) or the meeting (a name taken) is refused when it is stored.
class ClassSettingsDialog final : public QDialog {
  public:
    // `settings`: the class to change, or a new class's defaults (no id).
    ClassSettingsDialog(const MeetingClass& settings, const QString& title,
                        QWidget* parent = nullptr);

    // The class as set: `settings` with the boxes' values.
    MeetingClass Settings() const;

  private:
    MeetingClass base_;
    QLineEdit* name_;
    QSpinBox* raceTime_;
    QSpinBox* startWait_;
    QDoubleSpinBox* minLap_;
    QSpinBox* heatSize_;
    QSpinBox* rounds_;
    QSpinBox* practiceTime_;
    QComboBox* method_;
    QSpinBox* best_;
    QSpinBox* consecutive_;
    QSpinBox* mainSize_;
    QSpinBox* bump_;
    QSpinBox* legs_;
    QSpinBox* bestLegs_;
};

}  // namespace palomind
