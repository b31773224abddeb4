#include "startup/start_procedure.h"

namespace kestrova {

bool Main(const SingleInstance& instance, StartWindows& windows) {
    if (instance.PrevInstance()) {
        return false;
    }
    windows.showMainWindow();
    windows.showSplash();
    windows.activateMainWindow();
    windows.focusVehicleList();
    return true;
}

} // namespace kestrova
