#include "map/place_description.h"

#include "startup/runtime_error.h"

#include <QByteArray>
#include <QFile>

namespace kestrova {
namespace {

const QString kDistanceMark = QStringLiteral("距離");
const QString kWaypointMark = QStringLiteral("航點");
const QString kNearbyEnding = QStringLiteral("附近");
constexpr int32_t kSearchZoom = 16;
constexpr int32_t kSearchRadius = 5000;
constexpr int32_t kFirstResult = 0;
constexpr int32_t kRouteOption = 0;

[[noreturn]] void throwFileError(const QString& path, const QString& error) {
    throw RuntimeError(FileErrorText(path, error));
}

QByteArray readRouteFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throwFileError(path, file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throwFileError(path, file.errorString());
    }
    return bytes;
}

// The last line of the route text that does not name a distance, or "" when there is none. A line ends
// at CR (taking an LF right after it along) or at the end of the file; a lone LF is part of the line.
// CR is never a trail byte in the code pages in use, so the bytes are split before decoding.
QString lastRouteLine(const QByteArray& bytes, const CodePage& codePage) {
    QString kept;
    const auto take = [&](qsizetype from, qsizetype to) {
        QString line = codePage.decode(QByteArrayView(bytes).sliced(from, to - from));
        if (!line.contains(kDistanceMark)) {
            kept = std::move(line);
        }
    };
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            continue;
        }
        take(lineStart, i);
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        lineStart = i + 1;
    }
    if (lineStart < bytes.size()) {
        take(lineStart, bytes.size());
    }
    return kept;
}

} // namespace

QString RouteTextPath(const QString& programFolder) {
    return programFolder + QStringLiteral("/route.txt");
}

void DescribeLocation(MapEngineInterface& MapEngine, const QString& programFolder, const CodePage& codePage, double X,
                      double Y, QString& Text) {
    const int32_t x = MicroDegrees(X);
    const int32_t y = MicroDegrees(Y);

    QString name;
    MapEngine.GetPlaceName(x, y, name);
    Text = name;
    if (!name.isEmpty()) {
        return;
    }

    // A route from the point to itself makes the engine describe the road nearest to it.
    MapEngine.ClearRoute();
    MapEngine.SetRouteOption(kRouteOption);
    int32_t result = 0;
    MapEngine.PlanRoute(x, y, x, y, result);
    const QString routePath = RouteTextPath(programFolder);
    MapEngine.SaveRouteText(routePath, result);
    Text = lastRouteLine(readRouteFile(routePath), codePage);

    // The engine takes the search point by reference; nothing it leaves there is used.
    int32_t searchX = x;
    int32_t searchY = y;
    MapEngine.SetSearchPoint(searchX, searchY);
    MapEngine.SetZoom(kSearchZoom);
    MapEngine.SearchNearby(x, y, kSearchRadius);
    int32_t count = 0;
    MapEngine.GetResultCount(count);
    QString s1, s2, s3, s4;
    int32_t value = 0;
    MapEngine.GetResult(kFirstResult, s1, s2, s3, s4, value);

    // A waypoint is no place the operator knows, so such a route line is left out.
    const QString road = Text.contains(kWaypointMark) ? QString() : Text;
    Text = s1 + s2 + road + kNearbyEnding;
    MapEngine.ClearRoute();
}

} // namespace kestrova
