#pragma once

#include "map/map_engine_interface.h"
#include "startup/runtime_error.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <tuple>
#include <utility>

// A map engine for tests: it records every call with its arguments as text ("SetZoom(16)"), answers
// with the place name and search result set by the test, and writes routeText's bytes as the route text
// file (nothing at all when it is unset). ToPixel answers through pixelOf when it is set (else 0, 0), and
// SaveBitmap fails with saveBitmapError when that is set.
namespace kestrova::test {

class FakeMapEngine final : public MapEngineInterface {
public:
    QStringList calls;
    QString placeName;
    std::optional<QByteArray> routeText;
    QString s1, s2, s3, s4;
    int32_t resultCount = 1;
    std::function<std::pair<int32_t, int32_t>(int32_t x, int32_t y)> pixelOf;
    std::optional<QString> saveBitmapError;

    void CloseMap() override { record(QStringLiteral("CloseMap()")); }
    int32_t OpenMap(const QString& path) override { return load(QStringLiteral("OpenMap(%1)").arg(path)); }
    int32_t LoadProfile(const QString& path) override { return load(QStringLiteral("LoadProfile(%1)").arg(path)); }
    int32_t LoadBackground(const QString& path) override {
        return load(QStringLiteral("LoadBackground(%1)").arg(path));
    }
    void SetCenter(int32_t x, int32_t y) override { record(QStringLiteral("SetCenter(%1,%2)").arg(x).arg(y)); }
    void SetSearchPoint(int32_t& x, int32_t& y) override {
        record(QStringLiteral("SetSearchPoint(%1,%2)").arg(x).arg(y));
        // A component is free to use its by-reference arguments as scratch space.
        x = -1;
        y = -1;
    }
    void SaveBitmap(const QString& path, int32_t& result) override {
        record(QStringLiteral("SaveBitmap(%1)").arg(path));
        if (saveBitmapError) {
            throw RuntimeError(*saveBitmapError);
        }
        result = 1;
    }
    void SetZoom(int32_t level) override { record(QStringLiteral("SetZoom(%1)").arg(level)); }
    void SetViewSize(int32_t width, int32_t height) override {
        record(QStringLiteral("SetViewSize(%1,%2)").arg(width).arg(height));
    }
    void SetText(const QString& text) override { record(QStringLiteral("SetText(%1)").arg(text)); }
    void ToPixel(int32_t x, int32_t y, int32_t& px, int32_t& py) override {
        record(QStringLiteral("ToPixel(%1,%2)").arg(x).arg(y));
        px = 0;
        py = 0;
        if (pixelOf) {
            std::tie(px, py) = pixelOf(x, y);
        }
    }
    void SearchNearby(int32_t x, int32_t y, int32_t radius) override {
        record(QStringLiteral("SearchNearby(%1,%2,%3)").arg(x).arg(y).arg(radius));
    }
    void GetResultCount(int32_t& count) override {
        record(QStringLiteral("GetResultCount()"));
        count = resultCount;
    }
    void GetResult(int32_t index, QString& r1, QString& r2, QString& r3, QString& r4, int32_t& value) override {
        record(QStringLiteral("GetResult(%1)").arg(index));
        r1 = s1;
        r2 = s2;
        r3 = s3;
        r4 = s4;
        value = 0;
    }
    void SetRouteOption(int32_t option) override { record(QStringLiteral("SetRouteOption(%1)").arg(option)); }
    void ClearRoute() override { record(QStringLiteral("ClearRoute()")); }
    void PlanRoute(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t& result) override {
        record(QStringLiteral("PlanRoute(%1,%2,%3,%4)").arg(fromX).arg(fromY).arg(toX).arg(toY));
        result = 1;
    }
    void SaveRouteText(const QString& path, int32_t& result) override {
        record(QStringLiteral("SaveRouteText(%1)").arg(path));
        result = 0;
        if (!routeText) {
            return;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(*routeText) != routeText->size()) {
            throw RuntimeError(QStringLiteral("fake engine: cannot write %1").arg(path));
        }
        result = 1;
    }
    void GetPlaceName(int32_t x, int32_t y, QString& name) override {
        record(QStringLiteral("GetPlaceName(%1,%2)").arg(x).arg(y));
        name = placeName;
    }

private:
    void record(const QString& call) { calls << call; }
    int32_t load(const QString& call) {
        record(call);
        return 1;
    }
};

} // namespace kestrova::test
