#pragma once

#include "console/main_window_layout.h"

#include <QString>
#include <cstdint>

// One map panel fraMap(i) with its inner controls, as the panel redraw sees it, so that the redraw runs
// in tests against fakes and in the window against MapPanelWidget. Lengths are in twips, colours
// &HBBGGRR. The picture setters load the file and throw RuntimeError when it cannot be loaded.
namespace kestrova {

inline constexpr int kMapPanelCount = 8;
// The panel that shows PlaybackSlot beside the track-query frame.
inline constexpr int kTrackPanel = 7;
inline constexpr int kLampCount = 5;
// Panels 0 to 6 have this many landmark images (Houseimg0 to Houseimg6); panel 7 has none.
inline constexpr int kLandmarkSlotCount = 10;
inline constexpr int kLandmarkPanelCount = 7;

class MapPanelView {
public:
    virtual ~MapPanelView() = default;

    // fraMap(i): its own Visible flag and its size.
    virtual bool isPanelVisible() const = 0;
    virtual float panelWidth() const = 0;
    virtual float panelHeight() const = 0;

    // cmbVehicle(i).
    virtual int chooserListIndex() const = 0;
    virtual bool isChooserEnabled() const = 0;
    virtual void focusChooser() = 0;

    // lblCaption(i).
    virtual void setCaptionText(const QString& text) = 0;
    virtual void setCaptionBold(bool bold) = 0;
    virtual void setCaptionVisible(bool visible) = 0;
    virtual void setCaptionColour(int32_t colour) = 0;

    // lblZoom(i): the panel's zoom level, kept as its caption.
    virtual QString zoomCaption() const = 0;
    virtual void setZoomCaption(const QString& caption) = 0;
    // imgZoomIn(i) and imgZoomOut(i) together.
    virtual void setZoomButtonsVisible(bool visible) = 0;

    // imgMap(i); its Tag holds the signature of the panel's last drawing.
    virtual QString mapTag() const = 0;
    virtual void setMapTag(const QString& tag) = 0;
    virtual void setMapVisible(bool visible) = 0;
    virtual void setMapPicture(const QString& file) = 0;
    virtual void clearMapPicture() = 0;

    // imgVehicle(i).
    virtual void setVehiclePicture(const QString& file) = 0;
    virtual void clearVehiclePicture() = 0;
    virtual void setVehicleToolTip(const QString& text) = 0;

    // lblSpeed(i), which sizes itself to its caption.
    virtual void setSpeedVisible(bool visible) = 0;
    virtual void setSpeedCaption(const QString& caption) = 0;
    virtual float speedWidth() const = 0;
    virtual float speedHeight() const = 0;
    virtual void moveSpeed(float left, float top) = 0;

    // shpLED(5i + k), k = 0 the top lamp.
    virtual void setLampColour(int k, int32_t colour) = 0;

    // Element j of the panel's landmark array; picture is 1, 2 or 3 of ImageList3.
    virtual void moveLandmark(int j, const TwipsRect& rect) = 0;
    virtual void setLandmarkVisible(int j, bool visible) = 0;
    virtual void setLandmarkToolTip(int j, const QString& text) = 0;
    virtual void setLandmarkPicture(int j, int picture) = 0;
};

} // namespace kestrova
