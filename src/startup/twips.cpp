#include "startup/twips.h"

#include "startup/numeric.h"

namespace kestrova {

int twipsToPixels(double twips) {
    return CLng(twips / kTwipsPerPixel);
}

QRect toPixels(const TwipsRect& rect) {
    const int left = twipsToPixels(rect.left);
    const int top = twipsToPixels(rect.top);
    const int right = twipsToPixels(static_cast<double>(rect.left) + rect.width);
    const int bottom = twipsToPixels(static_cast<double>(rect.top) + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

QPoint toPixels(const TwipsPoint& point) {
    return QPoint(twipsToPixels(point.left), twipsToPixels(point.top));
}

QRect toPixels(const TwipsSpan& span, int heightPixels) {
    const int left = twipsToPixels(span.left);
    const int right = twipsToPixels(static_cast<double>(span.left) + span.width);
    return QRect(left, twipsToPixels(span.top), right - left, heightPixels);
}

} // namespace kestrova
