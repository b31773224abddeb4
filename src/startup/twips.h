#pragma once

#include <QPoint>
#include <QRect>

// Lengths as the windows are designed, in twips (15 twips to the pixel), and their pixels. Every window
// is placed by these numbers: the main window's layout and the dialogs.
namespace kestrova {

inline constexpr float kTwipsPerPixel = 15;

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// A move that keeps the control's own size.
struct TwipsPoint {
    float left = 0;
    float top = 0;
    bool operator==(const TwipsPoint&) const = default;
};

// A move that sets the width and keeps the control's own height.
struct TwipsSpan {
    float left = 0;
    float top = 0;
    float width = 0;
    bool operator==(const TwipsSpan&) const = default;
};

// Twips to pixels, to the nearest pixel and an exact half to the even one, like every other conversion
// of the console. A rectangle is converted by its edges, so rectangles that meet in twips meet in pixels
// and a gap keeps its width wherever it lies.
int twipsToPixels(double twips);
QRect toPixels(const TwipsRect& rect);
QPoint toPixels(const TwipsPoint& point);
QRect toPixels(const TwipsSpan& span, int heightPixels); // the height is the control's own, in pixels

// Pixels as twips, exactly.
inline float pixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

} // namespace kestrova
