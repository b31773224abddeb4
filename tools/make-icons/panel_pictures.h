#pragma once

#include <QImage>

// The small pictures of a map panel other than the vehicle icon: its zoom buttons and the landmark
// markers.
namespace kestrova {

// The zoom-in or zoom-out button picture, 26 x 26 pixels (the panel's 390-twip zoom images).
QImage drawZoomPicture(bool zoomIn);

// Landmark marker of a kind "1" (a house), "2" (an office building) or "3" (a flag), 20 x 20 pixels
// (the panel's 300-twip landmark images), on a transparent background. Other kinds give a null image.
QImage drawLandmarkPicture(int kind);

} // namespace kestrova
