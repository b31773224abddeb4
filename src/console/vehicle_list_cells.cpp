#include "console/vehicle_list_cells.h"

#include "startup/text_helpers.h"

namespace kestrova {

QString VehicleRowKey(const QString& PlateNumber) {
    return QStringLiteral("#") + PlateNumber;
}

QString VehicleRowKey(const VehicleRecord& v) {
    return VehicleRowKey(v.PlateNumber);
}

QString VehicleCellText(const VehicleRecord& v, VehicleListColumn column) {
    switch (column) {
    case VehicleListColumn::PlateNumber:
        return v.PlateNumber;
    case VehicleListColumn::Dial:
        return v.Dial ? QStringLiteral("是") : QString();
    case VehicleListColumn::DialTime:
        return ConvertDbTime(v.DialTime, 0);
    case VehicleListColumn::CheckPoint:
        return v.CheckPoint;
    case VehicleListColumn::Position:
        return v.Address;
    case VehicleListColumn::Speed:
        return FormatKilometres(v.Speed);
    case VehicleListColumn::Direction:
        return DirectionName(v.Direction);
    case VehicleListColumn::Offset:
        return FormatMetres(v.Offset);
    }
    return QString();
}

VehicleListRowTexts VehicleRowTexts(const VehicleRecord& v) {
    VehicleListRowTexts texts;
    for (int c = 0; c < kVehicleListColumnCount; ++c) {
        texts[static_cast<std::size_t>(c)] = VehicleCellText(v, static_cast<VehicleListColumn>(c));
    }
    return texts;
}

bool IsVehicleRowMarked(const QString& Healthy) {
    return Healthy == kHealthyAllFailed;
}

bool IsMarkedColumn(VehicleListColumn column) {
    return column != VehicleListColumn::Dial;
}

} // namespace kestrova
