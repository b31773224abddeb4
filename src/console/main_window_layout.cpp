#include "console/main_window_layout.h"

#include "startup/numeric.h"

#include <algorithm>

namespace kestrova {

namespace {

constexpr int32_t kMinimumMapWidth = 6000;
constexpr int32_t kMinimumMapBottom = 4500;
constexpr int32_t kTrackFrameWidth = 4335;
constexpr int32_t kTrackMapNarrowing = 4455; // the track frame's width and the gap before it

// A control cannot take a negative width or height; a low window would otherwise ask for one (the
// tab control under a tiny window, its list under a quarter share below 270 twips).
float sizeOf(float length) {
    return std::max(length, 0.0f);
}

TwipsRect rect(float left, float top, float width, float height) {
    return {left, top, sizeOf(width), sizeOf(height)};
}

void placeInnerControls(MapPanelLayout& panel, int index) {
    const float W = panel.fraMap.width;
    const float H = panel.fraMap.height;
    panel.lblCaption = {90, 0};
    panel.imgZoomIn = rect(0, 260, 390, 390);
    panel.imgZoomOut = rect(0, H - 690, 390, 390);
    if (index < 7)
        panel.cmbVehicle = TwipsSpan{W - 1000, 0, 1000};
    panel.imgMap = rect(0, 240, W - 15, H - 240);
    for (int k = 0; k < 5; ++k)
        panel.shpLED[k] = rect(W - 240, 375 + 255 * k, 195, 195);
    const float MW = panel.imgMap.width;
    const float MH = panel.imgMap.height;
    panel.imgVehicle = rect(MW / 2 - 240, MH / 2 - 30, 450, 450);
}

} // namespace

std::optional<MainWindowLayout> computeMainWindowLayout(const MainWindowLayoutInputs& in) {
    if (!in.Visible || in.WindowState == 1)
        return std::nullopt;

    MainWindowLayout out;
    const float TBH = in.TBH;

    // Lengths typed single precision are computed in float, as the window's own properties are.
    int32_t w = CLng(in.SW - 240.0f);
    if (w < kMinimumMapWidth)
        w = kMinimumMapWidth;

    out.sstSSTab.height = sizeOf(in.SH - 120.0f - TBH - in.SBH);

    int32_t h = CLng(in.SH - 120.0f - in.SBH);
    if (h < kMinimumMapBottom)
        h = kMinimumMapBottom;

    if (in.TrackQuery == 1) {
        out.sstSSTab.height = sizeOf((in.SH - 120.0f - TBH - in.SBH) / 4.0f);
        h = CLng(static_cast<float>(h) - out.sstSSTab.height);
    }

    const bool listOverMaps = in.ListVisible && in.Kestrova == 1;
    out.sstSSTab.left = 120;
    out.sstSSTab.top = listOverMaps ? TBH + 120.0f : static_cast<float>(h);
    out.sstSSTab.width = static_cast<float>(w);

    const int32_t cw = CLng((w - 240) / 3.0);
    const int32_t ch = CLng((static_cast<float>(h) - TBH - 360.0f) / 2.0f);
    for (int i = 0; i < 8; ++i) {
        MapPanelLayout& panel = out.panels[i];
        if (i < 6) {
            panel.fraMap = rect(static_cast<float>(120 + (i % 3) * (cw + 120)),
                                TBH + 120.0f + static_cast<float>((i / 3) * (ch + 120)), static_cast<float>(cw),
                                static_cast<float>(ch));
        } else {
            const int32_t width = i == 6 ? w : w - kTrackMapNarrowing;
            panel.fraMap = rect(120, TBH + 120.0f, static_cast<float>(width), static_cast<float>(h) - TBH - 240.0f);
        }
        placeInnerControls(panel, i);
    }
    const TwipsRect& trackMap = out.panels[7].fraMap;
    out.fraTrackQuery = rect(trackMap.width + 240, trackMap.top, kTrackFrameWidth, trackMap.height);

    const bool gridVisible = in.CallMode == 0 && in.RealTimePosition == 0;
    for (int i = 0; i < 6; ++i)
        out.panels[i].Visible = gridVisible;
    out.panels[6].Visible = in.RealTimePosition == 1 && in.CallMode < 2;
    out.panels[7].Visible = in.CallMode == 2;
    out.fraTrackQueryVisible = out.panels[7].Visible;

    out.redrawPanels = true;

    out.lvwVehicle = rect(120, 135, out.sstSSTab.width - 1170, out.sstSSTab.height - 270);
    out.txtCommLog = rect(120, 135, out.lvwVehicle.width, out.lvwVehicle.height);
    out.dbgTrackQuery = out.txtCommLog;

    out.sstSSTabVisible = true;
    return out;
}

} // namespace kestrova
