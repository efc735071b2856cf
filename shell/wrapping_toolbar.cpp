#include "shell/wrapping_toolbar.h"

#include <QActionEvent>
#include <QLayout>
#include <QPainter>
#include <QStyleOption>
#include <QToolButton>
#include <algorithm>

namespace palomind {
namespace {

// A separator between button groups, drawn by the style as QToolBar's own.
class Separator final : public QWidget {
  public:
    using QWidget::QWidget;

    QSize sizeHint() const override {
        QStyleOption option = Option();
        const int extent =
            style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent, &option, parentWidget());
        return {extent, extent};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QStyleOption option = Option();
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter,
                               parentWidget());
    }

  private:
    QStyleOption Option() const {
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        return option;
    }
};

}  // namespace

WrappingToolBar::WrappingToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    // Rows only make sense along the top or bottom edge.
    setOrientation(Qt::Horizontal);
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
}

QWidget* WrappingToolBar::WidgetFor(const QAction* action) const {
    const auto item = std::find_if(items_.begin(), items_.end(),
                                   [action](const Item& i) { return i.action == action; });
    return item != items_.end() ? item->widget : nullptr;
}

QWidget* WrappingToolBar::CreateWidget(QAction* action) {
    if (action->isSeparator()) return new Separator(this);
    // Set up as QToolBar sets up its own buttons.
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(iconSize());
    button->setToolButtonStyle(toolButtonStyle());
    connect(this, &QToolBar::iconSizeChanged, button, &QToolButton::setIconSize);
    connect(this, &QToolBar::toolButtonStyleChanged, button, &QToolButton::setToolButtonStyle);
    button->setDefaultAction(action);
    connect(button, &QToolButton::triggered, this, &QToolBar::actionTriggered);
    return button;
}

// QToolBar's own handler would put the action into its one-row layout.
void WrappingToolBar::actionEvent(QActionEvent* event) {
    QAction* action = event->action();
    switch (event->type()) {
        case QEvent::ActionAdded: {
            const auto before = std::find_if(items_.begin(), items_.end(), [&](const Item& i) {
                return i.action == event->before();
            });
            items_.insert(before, {action, CreateWidget(action)});
            break;
        }
        case QEvent::ActionRemoved: {
            const auto item = std::find_if(items_.begin(), items_.end(),
                                           [action](const Item& i) { return i.action == action; });
            if (item != items_.end()) {
                delete item->widget;
                items_.erase(item);
            }
            break;
        }
        default:  // ActionChanged: the button follows its action; its visibility is placed here
            break;
    }
    Relayout();
}

QSize WrappingToolBar::LayOut(int width, bool place) const {
    // The margins and spacing the style gives QToolBar's own layout.
    const QMargins margins = layout()->contentsMargins();
    const int spacing = std::max(0, layout()->spacing());
    int rowHeight = 0;
    for (const Item& item : items_) {
        if (item.action->isVisible()) {
            rowHeight = std::max(rowHeight, item.widget->sizeHint().height());
        }
    }
    const int right = width - margins.right();
    int x = margins.left();
    int y = margins.top();
    int widest = x;
    bool rowEmpty = true;
    // A separator that ends a row is hidden: it would separate nothing.
    QWidget* trailingSeparator = nullptr;
    for (const Item& item : items_) {
        const bool separator = item.action->isSeparator();
        const int itemWidth = item.widget->sizeHint().width();
        bool shown = item.action->isVisible();
        if (shown && !rowEmpty && x + itemWidth > right) {
            if (place && trailingSeparator != nullptr) trailingSeparator->hide();
            x = margins.left();
            y += rowHeight + spacing;
            rowEmpty = true;
        }
        // Nor does a row begin with one.
        if (separator && rowEmpty) shown = false;
        if (place) {
            item.widget->setVisible(shown);
            if (shown) item.widget->setGeometry(x, y, itemWidth, rowHeight);
        }
        if (!shown) continue;
        widest = std::max(widest, x + itemWidth);
        x += itemWidth + spacing;
        rowEmpty = false;
        trailingSeparator = separator ? item.widget : nullptr;
    }
    if (place && trailingSeparator != nullptr) trailingSeparator->hide();
    return {widest + margins.right(), y + rowHeight + margins.bottom()};
}

void WrappingToolBar::Relayout() {
    if (LayOut(width(), true).height() != height()) updateGeometry();
}

QSize WrappingToolBar::sizeHint() const {
    // One row wide; as high as the rows at the width the toolbar was given.
    const QSize oneRow = LayOut(QWIDGETSIZE_MAX, false);
    if (!testAttribute(Qt::WA_Resized)) return oneRow;
    return {oneRow.width(), LayOut(width(), false).height()};
}

QSize WrappingToolBar::minimumSizeHint() const {
    // Each button alone on a row, were it that narrow.
    return {LayOut(0, false).width(), LayOut(QWIDGETSIZE_MAX, false).height()};
}

void WrappingToolBar::resizeEvent(QResizeEvent* event) {
    QToolBar::resizeEvent(event);
    Relayout();
}

bool WrappingToolBar::event(QEvent* event) {
    const bool handled = QToolBar::event(event);
    switch (event->type()) {
        case QEvent::LayoutRequest:  // a button's size changed
        case QEvent::StyleChange:
        case QEvent::FontChange:
            Relayout();
            break;
        default:
            break;
    }
    return handled;
}

}  // namespace palomind
