#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "roster/roster_table.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace palomind {

// The roster editor: four ID/name column pairs of 16 rows for IDs 1 to 64,
// and an edit box beside the grid that edits the current name. Every
// keystroke goes into the grid and, through `setName`, into the roster at
// once; OK writes the roster file and closes, the window's close button keeps
// the typed names in memory only, until the next load; Esc does nothing.
// While the roster holds other names than the file's (a meeting's heat), the
// dialog shows and edits the roster as it is, and OK writes no file.
class dlgIdName : public QDialog {
    Q_OBJECT
  public:
    // Changes the name of ID 1 to 64 in the roster.
    using NameSetter = std::function<void(int id, std::string name)>;
    // True while the roster holds the file's names; none: always.
    using FileNamesShown = std::function<bool()>;
    dlgIdName(const RosterTable& names, NameSetter setName, FileStore& files, MessageSink& messages,
              FileNamesShown fileNamesShown = {}, QWidget* parent = nullptr);

    // The roster file operations; their messages go to the sink.
    void Load_IdName();
    void Save_IdName();

    // Opens the dialog without blocking, read afresh from the file; when it is
    // already open, only brings it to the front.
    void ShowDialog();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillGrid();
    void SetCurrentCell(int row, int col);
    void PutEditorOnCurrentCell();
    void StoreTypedName(const QString& text);
    bool MoveByKey(int key);
    void OKButton_Click();
    bool FileNamesInRoster() const { return !fileNamesShown_ || fileNamesShown_(); }

    const RosterTable& names_;
    NameSetter setName_;
    FileStore& files_;
    MessageSink& messages_;
    FileNamesShown fileNamesShown_;
    QTableWidget* grid_;     // MSFlexGrid1
    QPushButton* okButton_;  // OKButton
    QLabel* idLabel_;        // Label1
    QLineEdit* nameEdit_;    // Text1
    // The name cell the edit box was last put on.
    int editorRow_ = -1;
    int editorCol_ = -1;
    bool puttingEditor_ = false;
};

}  // namespace palomind
