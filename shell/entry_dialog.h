#pragma once
#include <QDialog>

#include "meeting/meeting_model.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace palomind {

// One entrant of the entry list, added ("追加") or edited ("編集"): entry
// number, name, transponder, class, car number and club. It only gathers
// the fields; the entry list's rules are applied when it is stored.
class EntryDialog final : public QDialog {
  public:
    // `classes`: the meeting's, offered in their order.
    EntryDialog(const std::vector<MeetingClass>& classes, const QString& title,
                QWidget* parent = nullptr);

    void SetEntry(const MeetingEntry& entry);
    MeetingEntry Entry() const;

  private:
    QSpinBox* number_;
    QLineEdit* name_;
    QSpinBox* transponder_;
    QComboBox* class_;
    QLineEdit* car_;
    QLineEdit* club_;
};

}  // namespace palomind
