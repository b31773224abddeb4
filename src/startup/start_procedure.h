#pragma once

#include "startup/single_instance.h"

// The program's start procedure: one instance only, the main window shown (its Load does the whole
// start-up), the splash shown modally over it, and the keyboard focus handed to the vehicle list.
namespace kestrova {

// The windows the start procedure drives, in the order it drives them.
class StartWindows {
public:
    virtual ~StartWindows() = default;

    // Shows frmKestrova modeless; returns once its Load has run.
    virtual void showMainWindow() = 0;
    // Shows frmLogo modally with frmKestrova as its owner; returns when the splash has unloaded itself.
    virtual void showSplash() = 0;
    // The parameterless call on frmKestrova once the splash is gone.
    virtual void activateMainWindow() = 0;
    // Gives lvwVehicle of frmKestrova the keyboard focus.
    virtual void focusVehicleList() = 0;
};

// Returns false, having shown nothing, when another instance is running; the caller then ends quietly.
// Otherwise the windows are up and the caller runs the event loop while instance keeps its lock.
bool Main(const SingleInstance& instance, StartWindows& windows);

} // namespace kestrova
