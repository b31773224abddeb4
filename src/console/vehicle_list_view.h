#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The vehicle list lvwVehicle and its pop-up menu as the list logic sees them, so that the logic runs
// in tests against fakes and in the window against the QTreeWidget adapter. Rows are addressed by index
// from 0 (row number - 1), the same index as the row's vehicle in Vehicles.
namespace kestrova {

// The eight columns in their order; the first is the row's own text.
enum class VehicleListColumn : int { PlateNumber, Dial, DialTime, CheckPoint, Position, Speed, Direction, Offset };

inline constexpr int kVehicleListColumnCount = 8;

struct VehicleListColumnInfo {
    QString key;
    QString header;
};

inline const std::array<VehicleListColumnInfo, kVehicleListColumnCount> kVehicleListColumns = {{
    {QStringLiteral("PlateNumber"), QStringLiteral("車輛編號")},
    {QStringLiteral("Dial"), QStringLiteral("列入追蹤")},
    {QStringLiteral("DialTime"), QStringLiteral("撥號時間")},
    {QStringLiteral("CheckPoint"), QStringLiteral("撥號情形")},
    {QStringLiteral("Position"), QStringLiteral("位置")},
    {QStringLiteral("Speed"), QStringLiteral("速度")},
    {QStringLiteral("Direction"), QStringLiteral("方向")},
    {QStringLiteral("Offset"), QStringLiteral("位移")},
}};

using VehicleListRowTexts = std::array<QString, kVehicleListColumnCount>;

class VehicleListView {
public:
    virtual ~VehicleListView() = default;

    virtual int rowCount() const = 0;
    // Removes every row; no row is selected afterwards.
    virtual void clearRows() = 0;
    // Appends a row with its key and the texts of its cells in column order, in the list's default font
    // and colour.
    virtual void addRow(const QString& key, const VehicleListRowTexts& texts) = 0;
    // The first row with this key, -1 when none has it.
    virtual int findRow(const QString& key) const = 0;

    virtual QString cellText(int row, VehicleListColumn column) const = 0;
    virtual void setCellText(int row, VehicleListColumn column, const QString& text) = 0;
    // colour is &HBBGGRR.
    virtual void setCellColour(int row, VehicleListColumn column, int32_t colour) = 0;
    virtual void setCellBold(int row, VehicleListColumn column, bool bold) = 0;

    // The selected row, -1 when none is.
    virtual int selectedRow() const = 0;
    // Makes row the one selected row.
    virtual void selectRow(int row) = 0;
    // Scrolls row into view.
    virtual void ensureVisible(int row) = 0;
    // Repaints the list.
    virtual void refresh() = 0;
};

// One item of a menu: what SetItemsEnabled and the caption change need.
class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setCaption(const QString& caption) = 0;
};

// The list's pop-up menu menVehicle, never shown in the menu bar; its items are menVehiclePad(0...).
class VehiclePopupMenu {
public:
    virtual ~VehiclePopupMenu() = default;
    virtual std::vector<MenuItem*> menVehiclePad() = 0;
    // Pops the menu up at (x, y), the mouse position in pixels inside the list.
    virtual void popUp(int x, int y) = 0;
};

} // namespace kestrova
