#include "map/line_label.h"

#include <QList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace kestrova {

namespace {

double degrees(QPointF d) {
    return std::atan2(d.y(), d.x()) * 180 / std::numbers::pi;
}

// An angle brought into (-180, 180].
double normalised(double angle) {
    angle = std::fmod(angle, 360);
    if (angle > 180)
        angle -= 360;
    else if (angle <= -180)
        angle += 360;
    return angle;
}

} // namespace

LineMeasure::LineMeasure(const Polyline& line) : m_line(line), m_along(line.size(), 0) {
    for (std::size_t i = 1; i < line.size(); ++i) {
        const QPointF d = line[i] - line[i - 1];
        m_along[i] = m_along[i - 1] + std::hypot(d.x(), d.y());
    }
}

std::pair<QPointF, double> LineMeasure::at(double s) const {
    if (m_line.size() < 2)
        return {m_line.empty() ? QPointF() : m_line.front(), 0};
    std::size_t i = std::size_t(std::upper_bound(m_along.begin(), m_along.end(), s) - m_along.begin());
    i = std::clamp<std::size_t>(i, 1, m_line.size() - 1);
    // Segments of no length have no direction: the nearest segment with one gives it, ahead then behind.
    std::size_t segment = i;
    while (segment + 1 < m_line.size() && m_along[segment] == m_along[segment - 1])
        ++segment;
    while (segment > 1 && m_along[segment] == m_along[segment - 1])
        --segment;
    const double span = m_along[i] - m_along[i - 1];
    const double t = span > 0 ? std::clamp((s - m_along[i - 1]) / span, 0.0, 1.0) : 0;
    return {m_line[i - 1] + (m_line[i] - m_line[i - 1]) * t, degrees(m_line[segment] - m_line[segment - 1])};
}

std::vector<QString> splitGraphemes(const QString& text) {
    std::vector<QString> glyphs;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start)
            glyphs.push_back(text.mid(start, end - start));
        start = end;
    }
    return glyphs;
}

bool isUprightCharacter(const QString& glyph) {
    if (glyph.isEmpty())
        return false;
    const char32_t code = glyph.toUcs4().front();
    switch (QChar::script(code)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return true;
    default:
        // CJK punctuation and full-width forms stand upright too.
        return (code >= 0x3000 && code <= 0x303F) || (code >= 0xFF00 && code <= 0xFFEF);
    }
}

std::vector<Polyline> mergeLines(std::vector<Polyline> lines) {
    // The ends of the lines, numbered 2 i (line i's first point) and 2 i + 1 (its last), sorted by point
    // (compared exactly: QPointF's own comparison is fuzzy): the ends at one point stand together, in
    // the lines' order. Sorting beats a hash table of points here by some three times.
    struct End {
        double x;
        double y;
        std::size_t id;
        bool samePoint(const End& other) const { return x == other.x && y == other.y; }
    };
    std::vector<End> ends;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() < 2)
            continue;
        ends.push_back({lines[i].front().x(), lines[i].front().y(), 2 * i});
        ends.push_back({lines[i].back().x(), lines[i].back().y(), 2 * i + 1});
    }
    std::sort(ends.begin(), ends.end(),
              [](const End& a, const End& b) { return std::tie(a.x, a.y, a.id) < std::tie(b.x, b.y, b.id); });
    // For each end, where the ends at its point begin in the sorted list. The search for an unused line
    // at a point resumes where it last stopped (kept at the point's first entry), so each entry is passed
    // over once in all, and a chain's next piece is found without looking its point up.
    const std::size_t none = 2 * lines.size();
    std::vector<std::size_t> pointOf(none);
    std::vector<std::size_t> resume(ends.size());
    for (std::size_t k = 0; k < ends.size(); ++k) {
        pointOf[ends[k].id] = k > 0 && ends[k].samePoint(ends[k - 1]) ? pointOf[ends[k - 1].id] : k;
        resume[k] = k;
    }
    std::vector<bool> used(lines.size(), false);
    // An end of an unused line at the point of the end given, or none.
    auto next = [&](std::size_t id) {
        const std::size_t first = pointOf[id];
        std::size_t& at = resume[first];
        while (at < ends.size() && ends[at].samePoint(ends[first]) && used[ends[at].id / 2])
            ++at;
        return at < ends.size() && ends[at].samePoint(ends[first]) ? ends[at].id : none;
    };
    // Joins unused lines to the chain's last point, which is the end `last` of a line, one after the
    // other for as long as one meets it.
    auto extend = [&](Polyline& chain, std::size_t last) {
        for (std::size_t id = next(last); id != none; id = next(last)) {
            Polyline& piece = lines[id / 2];
            used[id / 2] = true;
            if (id % 2 == 1)
                std::reverse(piece.begin(), piece.end());
            chain.insert(chain.end(), piece.begin() + 1, piece.end());
            last = id ^ 1; // the piece's other end
        }
    };
    std::vector<Polyline> merged;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (used[i] || lines[i].size() < 2)
            continue;
        used[i] = true;
        Polyline chain = std::move(lines[i]);
        extend(chain, 2 * i + 1);
        // The lines before its start join the turned chain's end: adding them at the front, piece by
        // piece, would move the whole chain each time.
        std::reverse(chain.begin(), chain.end());
        extend(chain, 2 * i);
        std::reverse(chain.begin(), chain.end());
        merged.push_back(std::move(chain));
    }
    return merged;
}

std::vector<std::vector<double>> labelAnchors(double lineLength, double spacing) {
    std::vector<std::vector<double>> anchors;
    if (!(lineLength > 0) || !(spacing > 0))
        return anchors;
    const auto stretches = std::max<std::size_t>(1, std::size_t(std::floor(std::min(lineLength / spacing, 1e6))));
    const double stretch = lineLength / double(stretches);
    for (std::size_t i = 0; i < stretches; ++i) {
        const double middle = (double(i) + 0.5) * stretch;
        anchors.push_back(
            {middle, middle + stretch / 6, middle - stretch / 6, middle + stretch / 3, middle - stretch / 3});
    }
    return anchors;
}

double textWidth(const std::vector<LabelGlyph>& glyphs) {
    double width = 0;
    for (const LabelGlyph& glyph : glyphs)
        width += glyph.advance;
    return width;
}

std::optional<std::vector<PlacedGlyph>> placeAlongLine(const LineMeasure& measure, double at,
                                                       const std::vector<LabelGlyph>& glyphs, double maxTurn) {
    if (glyphs.empty() || !(measure.length() > 0))
        return std::nullopt;
    const double total = textWidth(glyphs);
    const double first = at - total / 2;
    const double last = at + total / 2;
    if (first < 0 || last > measure.length())
        return std::nullopt;
    const QPointF chord = measure.at(last).first - measure.at(first).first;
    const bool anyUpright = std::any_of(glyphs.begin(), glyphs.end(), [](const LabelGlyph& g) { return g.upright; });
    const bool vertical = anyUpright && std::abs(chord.y()) > std::abs(chord.x());
    // Read left to right, or top to bottom when written vertically: else the label runs against the line.
    const bool reverse = vertical ? chord.y() < 0 : chord.x() < 0 || (chord.x() == 0 && chord.y() < 0);

    std::vector<PlacedGlyph> placed;
    double offset = 0;
    double previous = 0;
    for (const LabelGlyph& glyph : glyphs) {
        const double middle = offset + glyph.advance / 2;
        offset += glyph.advance;
        const auto [centre, direction] = measure.at(reverse ? last - middle : first + middle);
        const double reading = normalised(reverse ? direction + 180 : direction);
        if (!placed.empty() && std::abs(normalised(reading - previous)) > maxTurn)
            return std::nullopt;
        previous = reading;
        placed.push_back({centre, vertical && glyph.upright ? normalised(reading - 90) : reading});
    }
    return placed;
}

std::optional<QPointF> straightRowCentre(const std::vector<PlacedGlyph>& placed,
                                         const std::vector<LabelGlyph>& glyphs) {
    if (placed.empty() || placed.size() != glyphs.size())
        return std::nullopt;
    const double angle = placed.front().angle;
    const double radians = angle * std::numbers::pi / 180;
    const QPointF direction(std::cos(radians), std::sin(radians));
    const QPointF start = placed.front().centre - direction * (glyphs.front().advance / 2);
    // Each character must stand where the row puts it: at its advance along the row's direction.
    constexpr double kTolerance = 0.05; // pixels, degrees
    double offset = 0;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const QPointF expected = start + direction * (offset + glyphs[i].advance / 2);
        offset += glyphs[i].advance;
        if (std::abs(placed[i].angle - angle) > kTolerance ||
            std::abs(placed[i].centre.x() - expected.x()) > kTolerance ||
            std::abs(placed[i].centre.y() - expected.y()) > kTolerance)
            return std::nullopt;
    }
    return start + direction * (offset / 2);
}

} // namespace kestrova
