#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/race_window_model.h"

class QLabel;
class QTextEdit;

namespace palomind {

class FilledShape;
class GridView;

// The race window: status line and lamp, the two clocks, the race comment,
// the standings and the lap history, laid out at fixed places given in twips.
// It renders a RaceWindowModel that the engine writes; what the operator types
// into the comment box goes to `commentTyped`, in the stored form (CR LF).
class frmRaceResult : public QWidget {
    Q_OBJECT
  public:
    using CommentTyped = std::function<void(std::string stored)>;
    explicit frmRaceResult(const RaceWindowModel& model, CommentTyped commentTyped = {},
                           QWidget* parent = nullptr);

    // Re-renders whatever changed in the model since the last call. Runs
    // after every pass and every clock second, so it compares before it
    // touches a widget.
    void Refresh();

    // The comment box. The toolbar's formatting commands and the clipboard
    // commands act on it.
    QTextEdit* RichTextBox1() const { return richTextBox1_; }

    // Replaces the comment box's text with the model's comment (plain text;
    // CR LF, a lone CR or a lone LF each break a line), unless the box holds
    // that comment already (it came from the box: the caret stays put).
    void LoadCommentFromModel();

    QSize sizeHint() const override;

    // Told of the lap history column double-clicked (an entrant's column).
    void OnLapHistoryDoubleClicked(std::function<void(int column)> handler);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void BuildLabels();
    void StoreTypedComment();
    void ApplyColors();

    const RaceWindowModel& model_;
    CommentTyped commentTyped_;
    QLabel* elapsed_ = nullptr;    // Label2
    QLabel* remaining_ = nullptr;  // Label4
    QLabel* status_ = nullptr;     // Label17
    FilledShape* lamp_ = nullptr;  // Shape3
    QTextEdit* richTextBox1_ = nullptr;
    GridView* standings_ = nullptr;   // MSFlexGrid1
    GridView* lapHistory_ = nullptr;  // MSFlexGrid2

    // What the widgets show now, so Refresh can skip what did not change.
    std::string shownCaption_;
    std::string shownElapsed_;
    std::string shownRemaining_;
    std::string shownStatus_;
    std::uint32_t shownElapsedColor_ = 0;
    std::uint32_t shownLampColor_ = 0;
    bool loadingComment_ = false;
};

}  // namespace palomind
