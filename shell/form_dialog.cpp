#include "shell/form_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace palomind {

void LayOutForm(QDialog& dialog, const std::vector<std::pair<QString, QWidget*>>& rows) {
    auto* form = new QFormLayout(&dialog);
    for (const auto& [label, field] : rows) form->addRow(label, field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
}

}  // namespace palomind
