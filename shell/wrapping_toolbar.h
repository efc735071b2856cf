#pragma once
#include <QToolBar>
#include <vector>

class QAction;

namespace palomind {

// A toolbar of buttons and separators that wraps onto further rows when it
// is narrower than its buttons, so that none is ever hidden behind an
// overflow arrow, as QToolBar would hide them. It keeps QToolBar's actions,
// its actionTriggered signal, icon size and button style; only the placing
// of the buttons is its own.
class WrappingToolBar final : public QToolBar {
    Q_OBJECT
  public:
    explicit WrappingToolBar(const QString& title, QWidget* parent = nullptr);

    // The button or separator that shows `action`. QToolBar::widgetForAction
    // knows only the widgets its own layout placed, and that holds none.
    QWidget* WidgetFor(const QAction* action) const;

    // As many rows as the current width needs.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void actionEvent(QActionEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Item {
        QAction* action;
        QWidget* widget;
    };
    // Lays the items out in rows at most `width` wide and returns the size
    // they take, margins included; moves and shows the widgets only when
    // `place`.
    QSize LayOut(int width, bool place) const;
    void Relayout();
    QWidget* CreateWidget(QAction* action);

    std::vector<Item> items_;
};

}  // namespace palomind
