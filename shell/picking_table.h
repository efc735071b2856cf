#pragma once
#include <QStringList>
#include <vector>

class QTableWidget;
class QWidget;

namespace palomind {

// A table the operator reads and picks rows from, never edits in place.
QTableWidget* PickingTable(const QStringList& headers, QWidget* parent);

// Sets the table's rows to `rows`, one cell a column, none editable.
void FillTable(QTableWidget& table, const std::vector<QStringList>& rows);

}  // namespace palomind
