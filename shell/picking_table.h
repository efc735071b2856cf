#pragma once
#include <QStringList>

class QTableWidget;
class QWidget;

namespace palomind {

// A table the operator reads and picks single rows from, never edits in
// place.
QTableWidget* PickingTable(const QStringList& headers, QWidget* parent);

}  // namespace palomind
