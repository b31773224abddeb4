#pragma once

#include "console/map_panel_widget.h"
#include "console/vehicle_list_controls.h"

#include <array>

// The eight panels' vehicle choosers cmbVehicle(0) to cmbVehicle(7) as the vehicle list logic fills
// them. They behave as the design's drop-down lists: adding items chooses none, clearing raises no
// click, and every ListIndex set by the program raises cmbVehicle_Click.
namespace kestrova {

class MapPanelChoosers final : public PanelChoosers {
public:
    explicit MapPanelChoosers(const std::array<MapPanelWidget*, kMapPanelCount>& fraMap);

    QString text(int index) const override;
    void clear(int index) override;
    void addItem(int index, const QString& text) override;
    int listCount(int index) const override;
    int listIndex(int index) const override;
    void setListIndex(int index, int listIndex) override;
    void setEnabled(int index, bool enabled) override;

private:
    QComboBox& chooser(int index) const;

    std::array<MapPanelWidget*, kMapPanelCount> m_fraMap;
};

} // namespace kestrova
