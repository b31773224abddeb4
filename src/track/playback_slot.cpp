#include "track/playback_slot.h"

#include "data/field_value.h"

namespace kestrova {

void CopyTrackRow(const ResultSet& rs, const QString& PlateNumber, int16_t CarType, VehicleRecord& slot) {
    const auto text = [&rs](QStringView column) { return FieldText(rs.field(column)); };
    const auto number = [&rs](QStringView column) { return FieldNumber(rs.field(column)); };
    // Read everything first, so that a row that cannot be read leaves the slot as it was.
    VehicleRecord copy = slot;
    copy.PlateNumber = PlateNumber;
    copy.CarType = CarType;
    copy.DialTime = text(u"DialTime");
    copy.CheckPoint = text(u"CheckPoint");
    copy.EW = text(u"EW");
    copy.X = number(u"X");
    copy.NS = text(u"NS");
    copy.Y = number(u"Y");
    copy.Speed = SingleFromDouble(number(u"Speed"));
    copy.Direction = SingleFromDouble(number(u"Direction"));
    copy.Healthy = text(u"Healthy");
    copy.Address = text(u"Position");
    slot = std::move(copy);
}

} // namespace kestrova
