#include "shell/entry_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>
#include <limits>

#include "shell/form_dialog.h"

namespace palomind {

EntryDialog::EntryDialog(const std::vector<MeetingClass>& classes, const QString& title,
                         QWidget* parent)
    : QDialog(parent),
      number_(new QSpinBox(this)),
      name_(new QLineEdit(this)),
      transponder_(new QSpinBox(this)),
      class_(new QComboBox(this)),
      car_(new QLineEdit(this)),
      club_(new QLineEdit(this)) {
    setWindowTitle(title);
    number_->setObjectName(QStringLiteral("spnNumber"));
    name_->setObjectName(QStringLiteral("edtName"));
    transponder_->setObjectName(QStringLiteral("spnTransponder"));
    class_->setObjectName(QStringLiteral("cboClass"));
    car_->setObjectName(QStringLiteral("edtCar"));
    club_->setObjectName(QStringLiteral("edtClub"));
    number_->setRange(1, std::numeric_limits<int>::max());
    transponder_->setRange(1, static_cast<int>(kLargestTransponder));
    for (const MeetingClass& c : classes)
        class_->addItem(QString::fromStdString(c.name), QString::fromStdString(c.id));

    LayOutForm(*this, {
                          {QStringLiteral("エントリー番号"), number_},
                          {QStringLiteral("氏名"), name_},
                          {QStringLiteral("トランスポンダ"), transponder_},
                          {QStringLiteral("クラス"), class_},
                          {QStringLiteral("車両番号"), car_},
                          {QStringLiteral("クラブ"), club_},
                      });
}

void EntryDialog::SetEntry(const MeetingEntry& entry) {
    number_->setValue(
        static_cast<int>(std::min<std::int64_t>(entry.number, std::numeric_limits<int>::max())));
    name_->setText(QString::fromStdString(entry.name));
    transponder_->setValue(static_cast<int>(entry.transponder));
    const int classIndex = class_->findData(QString::fromStdString(entry.classId));
    if (classIndex >= 0) class_->setCurrentIndex(classIndex);
    car_->setText(QString::fromStdString(entry.car));
    club_->setText(QString::fromStdString(entry.club));
}

MeetingEntry EntryDialog::Entry() const {
    MeetingEntry entry;
    entry.number = number_->value();
    entry.name = name_->text().trimmed().toStdString();
    entry.transponder = transponder_->value();
    entry.classId = class_->currentData().toString().toStdString();
    entry.car = car_->text().trimmed().toStdString();
    entry.club = club_->text().trimmed().toStdString();
    return entry;
}

}  // namespace palomind
