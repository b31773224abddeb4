#include "console/side_tab_widget.h"

#include <QStyleOptionTab>
#include <QStylePainter>

#include <algorithm>

namespace kestrova {

namespace {

// Room between a caption and the edges of its tab: little above and below, so that the three tabs
// also fit beside the track grid of an 800 x 600 window (125 pixels).
constexpr int kCaptionMarginX = 6;
constexpr int kCaptionMarginY = 2;

} // namespace

QString StackedTabCaption(const QString& caption) {
    if (caption.size() < 2)
        return caption;
    const qsizetype firstLine = (caption.size() + 1) / 2;
    return caption.left(firstLine) + QLatin1Char('\n') + caption.mid(firstLine);
}

SideTabBar::SideTabBar(QWidget* parent) : QTabBar(parent) {
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setExpanding(false);
}

QSize SideTabBar::captionBlock() const {
    QSize block;
    for (int i = 0; i < count(); ++i)
        block = block.expandedTo(fontMetrics().size(0, StackedTabCaption(tabText(i))));
    return block;
}

QSize SideTabBar::tabSizeHint(int /*index*/) const {
    return captionBlock() + QSize(2 * kCaptionMarginX, 2 * kCaptionMarginY);
}

QSize SideTabBar::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

void SideTabBar::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    const auto paintTab = [&](int i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        // A tab that is switched off shows its caption greyed, as QTabBar's own tabs do: the style only
        // reads the colour group that the palette stands in.
        const bool enabled = (option.state & QStyle::State_Enabled) != 0;
        if (!enabled)
            option.palette.setCurrentColorGroup(QPalette::Disabled);
        style()->drawItemText(&painter, option.rect, Qt::AlignCenter, option.palette, enabled,
                              StackedTabCaption(tabText(i)), QPalette::WindowText);
    };
    // The current tab last, so that its shape lies over its neighbours' edges.
    for (int i = 0; i < count(); ++i) {
        if (i != currentIndex())
            paintTab(i);
    }
    if (currentIndex() >= 0)
        paintTab(currentIndex());
}

SideTabWidget::SideTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new SideTabBar(this));
    setTabPosition(QTabWidget::East);
}

} // namespace kestrova
