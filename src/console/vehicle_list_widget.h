#pragma once

#include "console/vehicle_list_view.h"

#include <QTreeWidget>
#include <memory>

class QAction;
class QMenu;

// The list control lvwVehicle on the window: a report-style QTreeWidget holding the rows with their
// keys, and the pop-up menu menVehicle. Mouse releases, row clicks and the menu's item are passed on as
// signals, for the window to hand to VehicleList.
namespace kestrova {

class VehicleListWidget final : public QTreeWidget, public VehicleListView, public VehiclePopupMenu {
    Q_OBJECT

public:
    explicit VehicleListWidget(QWidget* parent = nullptr);
    ~VehicleListWidget() override;

    int rowCount() const override;
    void clearRows() override;
    void addRow(const QString& key, const VehicleListRowTexts& texts) override;
    int findRow(const QString& key) const override;
    QString cellText(int row, VehicleListColumn column) const override;
    void setCellText(int row, VehicleListColumn column, const QString& text) override;
    void setCellColour(int row, VehicleListColumn column, int32_t colour) override;
    void setCellBold(int row, VehicleListColumn column, bool bold) override;
    int selectedRow() const override;
    void selectRow(int row) override;
    void ensureVisible(int row) override;
    void refresh() override;

    std::vector<MenuItem*> menVehiclePad() override;
    void popUp(int x, int y) override;

    QMenu* menVehicle() const { return m_menu; }

signals:
    // Button: 1 left, 2 right, 4 middle. Shift: shift 1, control 2, alt 4. X and Y: pixels in the list.
    void MouseUp(int16_t Button, int16_t Shift, int X, int Y);
    void ItemClick();
    void menVehiclePadClick(int16_t Index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class ActionItem;

    QTreeWidgetItem* rowItem(int row) const;

    QMenu* m_menu = nullptr;
    std::unique_ptr<ActionItem> m_padItem;
};

} // namespace kestrova
