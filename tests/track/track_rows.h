#pragma once

#include "data/result_set.h"

#include <QString>
#include <vector>

// Track results for tests: rows with the columns the export and the playback read, the rest left out.
namespace kestrova::test {

struct TrackPoint {
    QString DialTime;
    double Y = 0;
    double X = 0;
};

inline ResultSet TrackRows(const std::vector<TrackPoint>& points) {
    std::vector<ResultSet::Row> rows;
    for (const TrackPoint& p : points)
        rows.push_back({FieldValue(p.DialTime), FieldValue(p.X), FieldValue(p.Y)});
    return ResultSet({{QStringLiteral("DialTime"), FieldType::Text},
                      {QStringLiteral("X"), FieldType::Double},
                      {QStringLiteral("Y"), FieldType::Double}},
                     std::move(rows));
}

} // namespace kestrova::test
