#pragma once
#include <QDialog>

namespace palomind {

// The About box: the program's icon, title and version, and an OK button
// that closes it. The version comes from the build.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent);
};

}  // namespace palomind
