#pragma once

#include "startup/numeric.h"

#include <QString>

#include <cstdint>

// The operations of the console's map engine, in the order of its interface. Points are 32-bit
// millionths of a degree, longitude first; sizes and positions are pixels. The map panels, the place
// descriptions and the printed report use the engine through this interface, so their tests can put a
// fake in its place.
namespace kestrova {

// A longitude or latitude in degrees as the engine's point coordinate: millionths of a degree, rounded as
// CLng rounds (half to even); beyond a Long it raises the overflow error.
inline int32_t MicroDegrees(double degrees) {
    return CLng(degrees * 1000000);
}

class MapEngineInterface {
public:
    virtual ~MapEngineInterface() = default;

    virtual void CloseMap() = 0;
    // The three loads return 0 when the file is missing, unreadable or malformed.
    virtual int32_t OpenMap(const QString& path) = 0;
    virtual int32_t LoadProfile(const QString& path) = 0;
    virtual int32_t LoadBackground(const QString& path) = 0;
    virtual void SetCenter(int32_t x, int32_t y) = 0;
    virtual void SetSearchPoint(int32_t& x, int32_t& y) = 0;
    virtual void SaveBitmap(const QString& path, int32_t& result) = 0;
    virtual void SetZoom(int32_t level) = 0;
    virtual void SetViewSize(int32_t width, int32_t height) = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void ToPixel(int32_t x, int32_t y, int32_t& px, int32_t& py) = 0;
    virtual void SearchNearby(int32_t x, int32_t y, int32_t radius) = 0;
    virtual void GetResultCount(int32_t& count) = 0;
    virtual void GetResult(int32_t index, QString& s1, QString& s2, QString& s3, QString& s4, int32_t& value) = 0;
    virtual void SetRouteOption(int32_t option) = 0;
    virtual void ClearRoute() = 0;
    virtual void PlanRoute(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t& result) = 0;
    virtual void SaveRouteText(const QString& path, int32_t& result) = 0;
    virtual void GetPlaceName(int32_t x, int32_t y, QString& name) = 0;
};

} // namespace kestrova
