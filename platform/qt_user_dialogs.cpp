#include "platform/qt_user_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace palomind {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Texts arrive with CR LF line breaks; Qt's labels break on LF alone and
// would show the CR as a stray glyph.
QString DisplayText(std::string_view text) {
    return FromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

int ShowMessageBox(QWidget* parent, QMessageBox::Icon icon, std::string_view text,
                   QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QStringLiteral("Palomind"), DisplayText(text), buttons, parent);
    return box.exec();
}

}  // namespace

QString QtFileDialogFilter(std::string_view filter) {
    const QStringList parts = FromUtf8(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed().replace(u';', u' ');
        const QString inParentheses = u'(' + patterns + u')';
        filters << (description.endsWith(inParentheses) ? description
                                                        : description + u' ' + inParentheses);
    }
    // A lone description without a pattern can still serve as a filter.
    if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty())
        filters << parts.back().trimmed();
    return filters.join(QStringLiteral(";;"));
}

QtUserDialogs::QtUserDialogs(QWidget* parent) : parent_(parent) {}

void QtUserDialogs::ShowMessage(std::string_view text) {
    ShowMessageBox(parent_, QMessageBox::NoIcon, text, QMessageBox::Ok);
}

void QtUserDialogs::ShowInformation(std::string_view text) {
    ShowMessageBox(parent_, QMessageBox::Information, text, QMessageBox::Ok);
}

bool QtUserDialogs::AskYesNo(std::string_view text) {
    return ShowMessageBox(parent_, QMessageBox::Question, text,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtUserDialogs::InputBox(std::string_view prompt, std::string_view title,
                                                   std::string_view defaultText) {
    QInputDialog dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(FromUtf8(title));
    dialog.setLabelText(DisplayText(prompt));
    dialog.setTextValue(FromUtf8(defaultText));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::string QtUserDialogs::OpenFileName(std::string_view title, std::string_view filter) {
    return AskFileName(FileDialogKind::Open, title, filter);
}

std::string QtUserDialogs::SaveFileName(std::string_view title, std::string_view filter,
                                        std::string_view offeredName) {
    if (!offeredName.empty()) return AskOfferedName(title, filter, offeredName);
    return AskFileName(FileDialogKind::Save, title, filter);
}

std::string QtUserDialogs::AskOfferedName(std::string_view title, std::string_view filter,
                                          std::string_view offeredName) {
    // The working folder is the current one: every file the program keeps
    // is named relative to it.
    QFileDialog dialog(parent_, FromUtf8(title), QDir::currentPath(), QtFileDialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(FromUtf8(offeredName));
    // Choosing another type gives the name typed so far that type's
    // extension, so "R.csv" becomes "R.html" as HTML is chosen.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& type) {
            const QStringList chosen = dialog.selectedFiles();
            const qsizetype pattern = type.indexOf(QStringLiteral("*."));
            if (chosen.isEmpty() || pattern < 0) return;
            const QString extension =
                type.mid(pattern + 1).section(QRegularExpression("[ );]"), 0, 0);
            dialog.selectFile(QFileInfo(chosen.front()).completeBaseName() + extension);
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    lastFileName_ = dialog.selectedFiles().front();
    return lastFileName_.toStdString();
}

// A meeting's folder may be a new one: the dialog can create it.
std::string QtUserDialogs::FolderName(std::string_view title) {
    const QString chosen =
        QFileDialog::getExistingDirectory(parent_, FromUtf8(title), QDir::currentPath());
    return chosen.toStdString();
}

std::string QtUserDialogs::AskFileName(FileDialogKind kind, std::string_view title,
                                       std::string_view filter) {
    const QString caption = FromUtf8(title);
    const QString qtFilter = QtFileDialogFilter(filter);
    // Saving replaces an existing file without a question and adds no
    // extension: the file is written under exactly the name the operator gave.
    const QString chosen =
        kind == FileDialogKind::Open
            ? QFileDialog::getOpenFileName(parent_, caption, lastFileName_, qtFilter)
            : QFileDialog::getSaveFileName(parent_, caption, lastFileName_, qtFilter, nullptr,
                                           QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return {};
    lastFileName_ = chosen;
    return chosen.toStdString();
}

}  // namespace palomind
