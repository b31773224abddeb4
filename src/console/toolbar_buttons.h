#pragma once

#include "console/vehicle_list_controls.h"

#include <QString>

// Every state of a tool-bar button that the console's logic reads or sets, the button found by its key
// ("Kestrova", "TrackQuery"...). A key that names no button is a fault of the caller and throws.
namespace kestrova {

class ToolBarButtonStates : public ToolBarButtons {
public:
    // The button's Value: pressed (1) or unpressed (0). Only group and check buttons stay pressed;
    // pressing a group button unpresses the others of its group.
    virtual bool isButtonPressed(const QString& key) const = 0;
    virtual void setButtonPressed(const QString& key, bool pressed) = 0;
    virtual QString buttonCaption(const QString& key) const = 0;
};

} // namespace kestrova
