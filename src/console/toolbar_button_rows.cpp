#include "console/toolbar_button_rows.h"

#include <QAction>
#include <QActionEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace kestrova {

namespace {

// The line between two groups of buttons, drawn by the style as a tool bar draws its own.
class ToolbarSeparator final : public QWidget {
public:
    explicit ToolbarSeparator(QWidget* parent) : QWidget(parent) {}

    QSize sizeHint() const override {
        QStyleOption option;
        option.initFrom(this);
        const int extent = style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent, &option, this);
        return {extent, extent};
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        // Horizontal: the buttons stand side by side, so the line stands upright between them.
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

} // namespace

ToolbarButtonRows::ToolbarButtonRows(QSize iconSize, Qt::ToolButtonStyle buttonStyle, QWidget* parent)
    : QWidget(parent), m_iconSize(iconSize), m_buttonStyle(buttonStyle) {
    // As wide as the tool bar lets it be; the rows decide the height.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QWidget* ToolbarButtonRows::widgetForAction(const QAction* action) const {
    for (const auto& [itemAction, widget] : m_items) {
        if (itemAction == action)
            return widget;
    }
    return nullptr;
}

QWidget* ToolbarButtonRows::createWidget(QAction* action) {
    if (action->isSeparator())
        return new ToolbarSeparator(this);
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(m_iconSize);
    button->setToolButtonStyle(m_buttonStyle);
    button->setDefaultAction(action);
    connect(button, &QToolButton::triggered, this, &ToolbarButtonRows::actionTriggered);
    return button;
}

void ToolbarButtonRows::actionEvent(QActionEvent* event) {
    QAction* action = event->action();
    if (event->type() == QEvent::ActionAdded) {
        const auto before = std::find_if(m_items.begin(), m_items.end(),
                                         [&](const auto& item) { return item.first == event->before(); });
        m_items.insert(before, {action, createWidget(action)});
        placeButtons();
    } else if (event->type() == QEvent::ActionRemoved) {
        const auto item =
            std::find_if(m_items.begin(), m_items.end(), [&](const auto& it) { return it.first == action; });
        if (item != m_items.end()) {
            delete item->second;
            m_items.erase(item);
            placeButtons();
        }
    }
    QWidget::actionEvent(event);
}

int ToolbarButtonRows::spacing() const {
    return style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, this);
}

int ToolbarButtonRows::rowHeight() const {
    int height = 0;
    for (const auto& [action, widget] : m_items) {
        if (!action->isSeparator())
            height = std::max(height, widget->sizeHint().height());
    }
    return height;
}

int ToolbarButtonRows::rowsHeight(int rowCount) const {
    return rowCount * rowHeight() + (rowCount - 1) * spacing();
}

ToolbarRows ToolbarButtonRows::rowsFor(int width) const {
    std::vector<ToolbarItemWidth> items;
    for (const auto& [action, widget] : m_items) {
        const int natural = widget->sizeHint().width();
        if (action->isSeparator()) {
            items.push_back({true, natural, natural});
            continue;
        }
        const auto* button = static_cast<const QToolButton*>(widget);
        const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        const int caption = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
        const int tight = std::max(button->iconSize().width(), caption) + 2 * frame + 2;
        items.push_back({false, natural, std::min(natural, tight)});
    }
    return PlaceToolbarItems(items, spacing(), width);
}

QSize ToolbarButtonRows::sizeHint() const {
    int width = 0;
    for (const ToolbarItemPlace& place : rowsFor(std::numeric_limits<int>::max()).places)
        width = std::max(width, place.x + place.width);
    return {width, rowsHeight(m_rowCount)};
}

QSize ToolbarButtonRows::minimumSizeHint() const {
    int width = 0;
    for (const ToolbarItemPlace& place : rowsFor(0).places)
        width = std::max(width, place.width);
    return {width, rowHeight()};
}

void ToolbarButtonRows::placeButtons() {
    const ToolbarRows rows = rowsFor(width());
    const int height = rowHeight();
    const int gap = spacing();
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const ToolbarItemPlace& place = rows.places[static_cast<std::size_t>(i)];
        QWidget* widget = m_items[i].second;
        widget->setGeometry(place.x, place.row * (height + gap), place.width, height);
        widget->setVisible(place.shown);
    }
    const bool rowsChanged = rows.rowCount != m_rowCount;
    m_rowCount = rows.rowCount;
    if (const QSize hint = sizeHint(); hint != m_hint) {
        m_hint = hint;
        updateGeometry();
    }
    if (rowsChanged)
        emit rowCountChanged();
}

void ToolbarButtonRows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeButtons();
}

bool ToolbarButtonRows::event(QEvent* event) {
    // A button asks for a new layout when its caption or picture changes its size.
    if (event->type() == QEvent::LayoutRequest)
        placeButtons();
    return QWidget::event(event);
}

} // namespace kestrova
