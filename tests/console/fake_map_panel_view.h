#pragma once

#include "console/map_panel_view.h"
#include "startup/runtime_error.h"

#include <QString>
#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <optional>

// A map panel for tests: it keeps what the redraw set, answers with the sizes and choice the test gives,
// and notes the picture loads in a journal (the fake engine's call list, so their order against the
// engine's calls shows). A picture listed in missingFiles fails to load as a missing file does.
namespace kestrova::test {

class FakeMapPanelView final : public MapPanelView {
public:
    struct Landmark {
        std::optional<TwipsRect> rect;
        bool visible = false;
        QString toolTip;
        int picture = 0;
    };

    bool isPanelVisible() const override { return visible; }
    float panelWidth() const override { return width; }
    float panelHeight() const override { return height; }
    int chooserListIndex() const override { return listIndex; }
    bool isChooserEnabled() const override { return chooserEnabled; }
    void focusChooser() override { ++chooserFocused; }
    void setCaptionText(const QString& text) override { caption = text; }
    void setCaptionBold(bool bold) override { captionBold = bold; }
    void setCaptionVisible(bool v) override { captionVisible = v; }
    void setCaptionColour(int32_t colour) override { captionColour = colour; }
    QString zoomCaption() const override { return zoom; }
    void setZoomCaption(const QString& caption) override { zoom = caption; }
    void setZoomButtonsVisible(bool v) override { zoomButtonsVisible = v; }
    QString mapTag() const override { return tag; }
    void setMapTag(const QString& t) override { tag = t; }
    void setMapVisible(bool v) override {
        note(v ? QStringLiteral("imgMap.Visible=true") : QStringLiteral("imgMap.Visible=false"));
        mapVisible = v;
    }
    void setMapPicture(const QString& file) override { mapPicture = load(file); }
    void clearMapPicture() override { mapPicture.clear(); }
    void setVehiclePicture(const QString& file) override { vehiclePicture = load(file); }
    void clearVehiclePicture() override { vehiclePicture.clear(); }
    void setVehicleToolTip(const QString& text) override { vehicleToolTip = text; }
    void setSpeedVisible(bool v) override { speedVisible = v; }
    void setSpeedCaption(const QString& caption) override { speedCaption = caption; }
    float speedWidth() const override { return speedSize.first; }
    float speedHeight() const override { return speedSize.second; }
    void moveSpeed(float left, float top) override { speedPlace = {left, top}; }
    void setLampColour(int k, int32_t colour) override { lamps.at(static_cast<std::size_t>(k)) = colour; }
    void moveLandmark(int j, const TwipsRect& rect) override { slot(j).rect = rect; }
    void setLandmarkVisible(int j, bool v) override { slot(j).visible = v; }
    void setLandmarkToolTip(int j, const QString& text) override { slot(j).toolTip = text; }
    void setLandmarkPicture(int j, int picture) override { slot(j).picture = picture; }

    // What the test sets.
    bool visible = true;
    float width = 3405;
    float height = 3000;
    int listIndex = -1;
    bool chooserEnabled = true;
    QString zoom = QStringLiteral("12");
    std::pair<float, float> speedSize{900, 180};
    QStringList missingFiles;
    QStringList* journal = nullptr;

    // What the redraw set.
    QString caption;
    std::optional<bool> captionBold;
    std::optional<bool> captionVisible;
    std::optional<int32_t> captionColour;
    std::optional<bool> zoomButtonsVisible;
    QString tag;
    std::optional<bool> mapVisible;
    QString mapPicture;
    QString vehiclePicture;
    QString vehicleToolTip;
    std::optional<bool> speedVisible;
    QString speedCaption;
    std::optional<TwipsPoint> speedPlace;
    std::array<std::optional<int32_t>, kLampCount> lamps{};
    std::array<Landmark, kLandmarkSlotCount> landmarks{};
    int chooserFocused = 0;

private:
    void note(const QString& what) {
        if (journal != nullptr) {
            *journal << what;
        }
    }
    QString load(const QString& file) {
        note(QStringLiteral("LoadPicture(%1)").arg(file));
        if (missingFiles.contains(file)) {
            throw RuntimeError(file + QStringLiteral(": File not found"));
        }
        return file;
    }
    Landmark& slot(int j) {
        EXPECT_TRUE(j >= 0 && j < kLandmarkSlotCount) << "landmark slot " << j;
        return landmarks.at(static_cast<std::size_t>(j));
    }
};

} // namespace kestrova::test
