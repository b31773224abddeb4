#pragma once

#include "map/map_engine_interface.h"
#include "startup/code_page.h"

#include <QString>

// Place descriptions of positions, asked of the map engine: the place's own name when the engine has
// one, otherwise the nearby towns and the nearest road of a route description, ending in "附近".
namespace kestrova {

// The file in the program folder through which the engine hands over its route description.
QString RouteTextPath(const QString& programFolder);

// Sets Text to the place text of the point at longitude X and latitude Y (degrees); what Text held before
// is not used. The engine's route text file, written in codePage, is read back from the program folder.
// Engine failures, a point out of the engine's range and a route text file that cannot be read throw
// RuntimeError; the engine is left at search zoom with no route.
void DescribeLocation(MapEngineInterface& MapEngine, const QString& programFolder, const CodePage& codePage, double X,
                      double Y, QString& Text);

} // namespace kestrova
