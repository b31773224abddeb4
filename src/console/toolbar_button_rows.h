#pragma once

#include "console/toolbar_rows.h"

#include <QList>
#include <QSize>
#include <QWidget>

#include <utility>

class QAction;

// The buttons of a tool bar in rows: a QToolBar keeps one row and sends the buttons that do not fit into
// an overflow menu, while here every button stays in sight. The buttons narrow towards their captions
// as the width shrinks, and wrap onto further rows when even that does not fit; the strip's height
// follows the rows. Actions added to the strip become its buttons (a separator action a separator),
// in the order added.
namespace kestrova {

class ToolbarButtonRows final : public QWidget {
    Q_OBJECT

public:
    ToolbarButtonRows(QSize iconSize, Qt::ToolButtonStyle buttonStyle, QWidget* parent = nullptr);

    // The button or separator of an action added here; nullptr for any other action.
    QWidget* widgetForAction(const QAction* action) const;
    // Places the buttons afresh for their present captions (a button's new caption may change the rows).
    void placeButtons();

    // As wide as all buttons side by side, as high as the rows at the present width.
    QSize sizeHint() const override;
    // One button wide, one row high.
    QSize minimumSizeHint() const override;

signals:
    void actionTriggered(QAction* action);
    // The number of rows changed, and with it the height the strip asks for.
    void rowCountChanged();

protected:
    void actionEvent(QActionEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QWidget* createWidget(QAction* action);
    int spacing() const;
    int rowHeight() const;
    int rowsHeight(int rowCount) const;
    ToolbarRows rowsFor(int width) const;

    QSize m_iconSize;
    Qt::ToolButtonStyle m_buttonStyle;
    QList<std::pair<QAction*, QWidget*>> m_items;
    int m_rowCount = 1;
    QSize m_hint; // the size hint as last announced to the tool bar's layout
};

} // namespace kestrova
