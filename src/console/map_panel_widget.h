#pragma once

#include "console/main_window_layout.h"
#include "console/map_panel_view.h"

#include <QComboBox>
#include <QFrame>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <array>
#include <vector>

class QLabel;

// One map panel fraMap(i) on the main window with its caption, zoom images, vehicle chooser, map
// picture, speed label, five lamps, vehicle icon and (panels 0 to 6) ten landmark images. The window
// makes eight; every control carries its name from the design with the panel's index ("imgMap_3",
// "shpLED_17", "Houseimg2_5"), and clicks are passed on as signals for MapPanels' handlers.
namespace kestrova {

class MapPanels;

// A status lamp shpLED: a small filled circle.
class MapPanelLamp final : public QWidget {
    Q_OBJECT

public:
    explicit MapPanelLamp(QWidget* parent = nullptr);

    int32_t fillColour() const { return m_fillColour; }
    void setFillColour(int32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t m_fillColour = 0xFFFF;
};

class MapPanelWidget final : public QFrame, public MapPanelView {
    Q_OBJECT

public:
    // The zoom and landmark pictures are read from programFolder's icons/ folder; a missing one leaves
    // its image blank. Panel 7's chooser belongs in fraTrackQuery: it is made here, hidden, for the window
    // to move there (setParent, then its own geometry).
    MapPanelWidget(int16_t index, const QString& programFolder, QWidget* parent = nullptr);

    int16_t index() const { return m_index; }
    QComboBox* cmbVehicle() const { return m_cmbVehicle; }

    // Places the panel (in its parent) and its inner controls; Visible as the layout says.
    void applyLayout(const MapPanelLayout& layout);

    // Sets the chooser's ListIndex and raises cmbVehicle_Click once, also when it is unchanged.
    void setChooserListIndex(int listIndex);

    bool isPanelVisible() const override;
    float panelWidth() const override;
    float panelHeight() const override;
    int chooserListIndex() const override;
    bool isChooserEnabled() const override;
    void focusChooser() override;
    void setCaptionText(const QString& text) override;
    void setCaptionBold(bool bold) override;
    void setCaptionVisible(bool visible) override;
    void setCaptionColour(int32_t colour) override;
    QString zoomCaption() const override;
    void setZoomCaption(const QString& caption) override;
    void setZoomButtonsVisible(bool visible) override;
    QString mapTag() const override { return m_mapTag; }
    void setMapTag(const QString& tag) override { m_mapTag = tag; }
    void setMapVisible(bool visible) override;
    void setMapPicture(const QString& file) override;
    void clearMapPicture() override;
    void setVehiclePicture(const QString& file) override;
    // The icon imgVehicle shows; null when it shows none.
    QPixmap vehiclePicture() const;
    void clearVehiclePicture() override;
    void setVehicleToolTip(const QString& text) override;
    void setSpeedVisible(bool visible) override;
    void setSpeedCaption(const QString& caption) override;
    float speedWidth() const override;
    float speedHeight() const override;
    void moveSpeed(float left, float top) override;
    void setLampColour(int k, int32_t colour) override;
    void moveLandmark(int j, const TwipsRect& rect) override;
    void setLandmarkVisible(int j, bool visible) override;
    void setLandmarkToolTip(int j, const QString& text) override;
    void setLandmarkPicture(int j, int picture) override;

signals:
    void cmbVehicleClick(int16_t Index);
    void fraMapClick(int16_t Index);
    void imgMapClick(int16_t Index);
    void imgZoomInClick(int16_t Index);
    void imgZoomOutClick(int16_t Index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* makeLabel(const QString& name);
    QLabel* makeClickable(const QString& name);
    QLabel* landmark(int j) const;
    void emitClick(QObject* watched);

    int16_t m_index;
    QLabel* m_lblCaption = nullptr;
    QLabel* m_lblZoom = nullptr;
    QLabel* m_imgZoomIn = nullptr;
    QLabel* m_imgZoomOut = nullptr;
    QPointer<QComboBox> m_cmbVehicle;
    QLabel* m_imgMap = nullptr;
    QLabel* m_imgVehicle = nullptr;
    QLabel* m_lblSpeed = nullptr;
    std::array<MapPanelLamp*, kLampCount> m_shpLED{};
    std::vector<QLabel*> m_houseimg;
    std::array<QPixmap, 3> m_imageList3;
    QString m_mapTag;
    // The icon's place and size from the layout; a loaded icon shows at its own size from that corner.
    QRect m_vehicleRect;
    bool m_framePressed = false;
};

// Connects the panels' clicks to the handlers of MapPanels.
void ConnectMapPanels(const std::array<MapPanelWidget*, kMapPanelCount>& fraMap, MapPanels& panels);

} // namespace kestrova
