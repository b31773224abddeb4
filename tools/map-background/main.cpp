// kestrova-map-background: writes a raster MBTiles of plain land tiles covering a box, the map engine's
// background ([Nv5] Mmh). Every tile is the same small PNG; only the covered area grows with the zoom.

#include "background_tile.h"
#include "mbtiles_writer.h"
#include "startup/runtime_error.h"
#include "tile_range.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kestrova {
namespace {

// Guards against a typo (a world box at zoom 14) filling the disk.
constexpr std::int64_t kMaxTiles = 100000;

struct Options {
    GeoBounds bounds;
    int minZoom = 6;
    int maxZoom = 14;
    int pad = 2;
    QString name;
    QString output;
};

GeoBounds parseBounds(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    double v[4] = {};
    bool ok = parts.size() == 4;
    for (int i = 0; ok && i < 4; ++i) {
        v[i] = parts[i].trimmed().toDouble(&ok);
    }
    if (!ok) {
        throw RuntimeError(QStringLiteral("--bounds wants four numbers W,S,E,N, got \"%1\"").arg(text));
    }
    const GeoBounds b{v[0], v[1], v[2], v[3]};
    if (b.west < -180 || b.east > 180 || b.west >= b.east || b.south < -85.06 || b.north > 85.06 ||
        b.south >= b.north) {
        throw RuntimeError(QStringLiteral("--bounds \"%1\" is not a box with W < E and S < N inside the world "
                                          "(longitude -180..180, latitude -85.05..85.05)")
                               .arg(text));
    }
    return b;
}

int parseInt(const QCommandLineParser& parser, const QString& option, int low, int high) {
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < low || value > high) {
        throw RuntimeError(QStringLiteral("--%1 wants a whole number from %2 to %3, got \"%4\"")
                               .arg(option)
                               .arg(low)
                               .arg(high)
                               .arg(parser.value(option)));
    }
    return value;
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a raster MBTiles (PNG tiles) of plain land covering a box, for the map engine's background."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("bounds"), QStringLiteral("Box to cover, in degrees."), QStringLiteral("W,S,E,N")},
        {QStringLiteral("minzoom"), QStringLiteral("Lowest zoom level (default 6)."), QStringLiteral("z"),
         QStringLiteral("6")},
        {QStringLiteral("maxzoom"), QStringLiteral("Highest zoom level (default 14)."), QStringLiteral("z"),
         QStringLiteral("14")},
        {QStringLiteral("pad"), QStringLiteral("Extra tiles around the box at every zoom (default 2)."),
         QStringLiteral("tiles"), QStringLiteral("2")},
        {QStringLiteral("name"), QStringLiteral("Name written to the metadata."), QStringLiteral("text"),
         QStringLiteral("Kestrova background")},
    });
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The .mbtiles file to write (replaced)."));
    parser.process(app); // prints --help and exits, or reports unknown options and exits

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        throw RuntimeError(QStringLiteral("give exactly one output file (see --help)"));
    }
    if (!parser.isSet(QStringLiteral("bounds"))) {
        throw RuntimeError(QStringLiteral("--bounds W,S,E,N is required"));
    }
    Options o;
    o.bounds = parseBounds(parser.value(QStringLiteral("bounds")));
    o.minZoom = parseInt(parser, QStringLiteral("minzoom"), 0, 22);
    o.maxZoom = parseInt(parser, QStringLiteral("maxzoom"), 0, 22);
    o.pad = parseInt(parser, QStringLiteral("pad"), 0, 16);
    if (o.minZoom > o.maxZoom) {
        throw RuntimeError(QStringLiteral("--minzoom %1 is above --maxzoom %2").arg(o.minZoom).arg(o.maxZoom));
    }
    o.name = parser.value(QStringLiteral("name"));
    o.output = args.front();
    return o;
}

std::int64_t writeBackground(const Options& o, const QString& path) {
    const std::vector<TileRange> ranges = tileRangesFor(o.bounds, o.minZoom, o.maxZoom, o.pad);
    std::int64_t total = 0;
    for (const TileRange& r : ranges) {
        total += r.count();
    }
    if (total > kMaxTiles) {
        throw RuntimeError(QStringLiteral("%1 tiles would be written (at most %2): use a smaller box, a lower "
                                          "--maxzoom or a smaller --pad")
                               .arg(total)
                               .arg(kMaxTiles));
    }

    // The land tint matches the demo style's background, so the map looks the same whichever is drawn.
    const QByteArray png = backgroundTilePng(QColor(0xee, 0xe8, 0xdc), QColor(0xe3, 0xdc, 0xcd));
    const GeoBounds& b = o.bounds;
    MbtilesWriter writer(path);
    writer.addMetadata(QStringLiteral("name"), o.name);
    writer.addMetadata(QStringLiteral("format"), QStringLiteral("png"));
    writer.addMetadata(QStringLiteral("type"), QStringLiteral("baselayer"));
    writer.addMetadata(QStringLiteral("version"), QStringLiteral("1.0"));
    writer.addMetadata(QStringLiteral("description"), QStringLiteral("Plain land background"));
    writer.addMetadata(QStringLiteral("bounds"), QStringLiteral("%1,%2,%3,%4")
                                                     .arg(b.west, 0, 'f', 6)
                                                     .arg(b.south, 0, 'f', 6)
                                                     .arg(b.east, 0, 'f', 6)
                                                     .arg(b.north, 0, 'f', 6));
    writer.addMetadata(QStringLiteral("center"), QStringLiteral("%1,%2,%3")
                                                     .arg((b.west + b.east) / 2, 0, 'f', 6)
                                                     .arg((b.south + b.north) / 2, 0, 'f', 6)
                                                     .arg(o.minZoom));
    writer.addMetadata(QStringLiteral("minzoom"), QString::number(o.minZoom));
    writer.addMetadata(QStringLiteral("maxzoom"), QString::number(o.maxZoom));
    for (const TileRange& r : ranges) {
        for (int x = r.minX; x <= r.maxX; ++x) {
            for (int y = r.minY; y <= r.maxY; ++y) {
                writer.addTile(r.zoom, x, y, png);
            }
        }
    }
    writer.commit();
    return total;
}

int run(const QCoreApplication& app) {
    const Options o = parseOptions(app);
    // Written beside the target and renamed over it, so a failed run never leaves a partial map behind.
    const QString part = o.output + QStringLiteral(".part");
    QFile::remove(part);
    try {
        const std::int64_t tiles = writeBackground(o, part);
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(o.output).toStdString(), ec);
        if (ec) {
            throw RuntimeError(
                QStringLiteral("cannot rename %1 to %2: %3").arg(part, o.output, QString::fromStdString(ec.message())));
        }
        std::printf("%s: %lld tiles, zoom %d-%d\n", qPrintable(o.output), static_cast<long long>(tiles), o.minZoom,
                    o.maxZoom);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    return 0;
}

} // namespace
} // namespace kestrova

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrova-map-background"));
    try {
        return kestrova::run(app);
    } catch (const kestrova::RuntimeError& e) {
        std::fprintf(stderr, "kestrova-map-background: %s\n", qPrintable(e.text()));
        return 1;
    }
}
