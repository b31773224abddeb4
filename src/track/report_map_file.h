#pragma once

#include "data/records.h"
#include "map/map_engine_interface.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>

// The printed report's map picture image/MAP8.BMP: the engine's map centred on the track point, with the
// vehicle's icon drawn onto the point.
namespace kestrova {

inline constexpr int32_t kReportMapWidth = 710;
inline constexpr int32_t kReportMapHeight = 466;
// The icon's top left corner: 16 pixels left of and 18 above the map's centre (355, 233), where the point
// lies, so the icon stands on it.
inline constexpr QPoint kReportIconCorner{339, 215};

// image/MAP8.BMP under programFolder.
QString ReportMapFile(const QString& programFolder);

// The picture at path; throws RuntimeError, naming the file, when it cannot be loaded.
QImage LoadReportPicture(const QString& path);

// Renders the map around Rec's position at zoom into path through the engine, then loads the picture,
// draws icon onto it with its transparency and saves it back to path as a bitmap. A null icon draws
// nothing. Throws RuntimeError, naming the file, when the picture cannot be loaded or saved.
void BuildReportMapFile(MapEngineInterface& MapEngine, const VehicleRecord& Rec, int32_t zoom, const QImage& icon,
                        const QString& path);

} // namespace kestrova
