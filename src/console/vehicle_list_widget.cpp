#include "console/vehicle_list_widget.h"

#include <QAction>
#include <QColor>
#include <QFont>
#include <QMenu>
#include <QMouseEvent>

namespace kestrova {

namespace {

// The row's key lives beside its texts; Qt items have no keys of their own.
constexpr int kKeyRole = Qt::UserRole;

QColor FromBgr(int32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int16_t ButtonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int16_t ShiftCode(Qt::KeyboardModifiers modifiers) {
    int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

} // namespace

class VehicleListWidget::ActionItem final : public MenuItem {
public:
    explicit ActionItem(QAction* action) : m_action(action) {}
    bool isEnabled() const override { return m_action->isEnabled(); }
    void setEnabled(bool enabled) override { m_action->setEnabled(enabled); }
    void setCaption(const QString& caption) override { m_action->setText(caption); }

private:
    QAction* m_action;
};

VehicleListWidget::VehicleListWidget(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("lvwVehicle"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);
    setColumnCount(kVehicleListColumnCount);

    m_menu = new QMenu(QStringLiteral("Vehicle"), this);
    m_menu->setObjectName(QStringLiteral("menVehicle"));
    QAction* pad = m_menu->addAction(QStringLiteral("列入追蹤(&D)"));
    pad->setObjectName(QStringLiteral("menVehiclePad_0"));
    m_padItem = std::make_unique<ActionItem>(pad);
    connect(pad, &QAction::triggered, this, [this] { emit menVehiclePadClick(0); });
    connect(this, &QTreeWidget::itemClicked, this, [this] { emit ItemClick(); });
}

VehicleListWidget::~VehicleListWidget() = default;

QTreeWidgetItem* VehicleListWidget::rowItem(int row) const {
    return topLevelItem(row);
}

int VehicleListWidget::rowCount() const {
    return topLevelItemCount();
}

void VehicleListWidget::clearRows() {
    clear();
}

void VehicleListWidget::addRow(const QString& key, const VehicleListRowTexts& texts) {
    auto* item = new QTreeWidgetItem();
    item->setData(0, kKeyRole, key);
    for (int c = 0; c < kVehicleListColumnCount; ++c) {
        item->setText(c, texts[static_cast<std::size_t>(c)]);
    }
    addTopLevelItem(item);
}

int VehicleListWidget::findRow(const QString& key) const {
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (topLevelItem(row)->data(0, kKeyRole).toString() == key) {
            return row;
        }
    }
    return -1;
}

QString VehicleListWidget::cellText(int row, VehicleListColumn column) const {
    QTreeWidgetItem* item = rowItem(row);
    return item == nullptr ? QString() : item->text(static_cast<int>(column));
}

void VehicleListWidget::setCellText(int row, VehicleListColumn column, const QString& text) {
    if (QTreeWidgetItem* item = rowItem(row)) {
        item->setText(static_cast<int>(column), text);
    }
}

void VehicleListWidget::setCellColour(int row, VehicleListColumn column, int32_t colour) {
    if (QTreeWidgetItem* item = rowItem(row)) {
        item->setForeground(static_cast<int>(column), FromBgr(colour));
    }
}

void VehicleListWidget::setCellBold(int row, VehicleListColumn column, bool bold) {
    if (QTreeWidgetItem* item = rowItem(row)) {
        QFont font = item->font(static_cast<int>(column));
        font.setBold(bold);
        item->setFont(static_cast<int>(column), font);
    }
}

int VehicleListWidget::selectedRow() const {
    // The current row counts even when a control-click has taken its highlight away.
    return currentIndex().row();
}

void VehicleListWidget::selectRow(int row) {
    if (QTreeWidgetItem* item = rowItem(row)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
}

void VehicleListWidget::ensureVisible(int row) {
    if (QTreeWidgetItem* item = rowItem(row)) {
        scrollToItem(item);
    }
}

void VehicleListWidget::refresh() {
    viewport()->update();
}

std::vector<MenuItem*> VehicleListWidget::menVehiclePad() {
    return {m_padItem.get()};
}

void VehicleListWidget::popUp(int x, int y) {
    m_menu->popup(viewport()->mapToGlobal(QPoint(x, y)));
}

void VehicleListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    emit MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()), at.x(), at.y());
}

} // namespace kestrova
