#pragma once

#include "map/tile_geometry.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// Labels along lines (roads, rivers): where along a line a name goes, and where each of its characters
// stands and how it is turned so that the name follows the line and reads the right way up. Lengths and
// points are in view pixels, angles in degrees, clockwise on the screen (y down) as QPainter turns.
namespace kestrova {

// One character of a label (a grapheme: what the reader sees as one).
struct LabelGlyph {
    QString text;
    double advance = 0;   // its width in running text
    bool upright = false; // a CJK character: stands upright, one under the other, on a steep line
};

struct PlacedGlyph {
    QPointF centre;
    double angle = 0;
};

// The text's graphemes in order.
std::vector<QString> splitGraphemes(const QString& text);
// Whether a character is one that CJK text sets upright in vertical writing.
bool isUprightCharacter(const QString& glyph);

// The width of the characters in running text: their advances added up.
double textWidth(const std::vector<LabelGlyph>& glyphs);

// The text cut into its characters, each with its width as advanceOf(QString) measures it.
template <class Measure> std::vector<LabelGlyph> labelGlyphs(const QString& text, Measure advanceOf) {
    std::vector<LabelGlyph> glyphs;
    for (const QString& glyph : splitGraphemes(text))
        glyphs.push_back({glyph, advanceOf(glyph), isUprightCharacter(glyph)});
    return glyphs;
}

// Lines of the same name that meet end to end (either way round) joined into one, so that a street
// drawn as many short pieces still has room for its name.
std::vector<Polyline> mergeLines(std::vector<Polyline> lines);

// Distances along a line: where the point at some distance lies and which way the line runs there.
class LineMeasure {
public:
    explicit LineMeasure(const Polyline& line);

    double length() const { return m_along.empty() ? 0 : m_along.back(); }
    QPointF pointAt(double s) const { return at(s).first; }
    // The point at distance s (held to the line) and the direction, in degrees, of the line there.
    std::pair<QPointF, double> at(double s) const;

private:
    const Polyline& m_line;
    std::vector<double> m_along;
};

// Where labels are tried along a line of this length: the line is cut into equal stretches at least
// spacing long (one stretch when it is shorter), each of which holds one label at most. A stretch's
// list tries its middle first, then points further from the middle.
std::vector<std::vector<double>> labelAnchors(double lineLength, double spacing);

// The label's characters centred at distance `at` along the line: one after the other along it, each
// turned to the line's direction where it stands, read left to right (or, on a line steeper than 45
// degrees, CJK characters upright and top to bottom). Nothing when the line does not reach half the
// label's length on both sides of `at`, or turns by more than maxTurn degrees between two neighbouring
// characters.
std::optional<std::vector<PlacedGlyph>> placeAlongLine(const LineMeasure& line, double at,
                                                       const std::vector<LabelGlyph>& glyphs, double maxTurn);

// The middle of a placed label when its characters stand in one straight row, each turned as the row
// runs (so it can be drawn as one text); nothing when the row bends or the characters stand upright
// one under the other.
std::optional<QPointF> straightRowCentre(const std::vector<PlacedGlyph>& placed, const std::vector<LabelGlyph>& glyphs);

} // namespace kestrova
