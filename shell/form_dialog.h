#pragma once
#include <QString>
#include <utility>
#include <vector>

class QDialog;
class QWidget;

namespace palomind {

// Lays `dialog` out as a form of labelled fields, one a row, above OK and
// Cancel.
void LayOutForm(QDialog& dialog, const std::vector<std::pair<QString, QWidget*>>& rows);

}  // namespace palomind
