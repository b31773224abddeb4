#pragma once

#include <QByteArray>
#include <QColor>

namespace kestrova {

// The one PNG tile the background is made of: a land tint with a faint dot grid. The pattern repeats
// exactly at the tile's edges, so neighbouring tiles join without seams at every zoom.
QByteArray backgroundTilePng(const QColor& land, const QColor& dots, int size = 256);

} // namespace kestrova
