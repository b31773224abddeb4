#pragma once

#include <QString>
#include <cstdint>

// How a modal dialog reports back to whoever showed it. The caller sets the flags, creates the dialog,
// shows it modally, releases it, and acts only when gDialogOK is 1.
namespace kestrova {

struct DialogProtocol {
    // 0: the dialog committed nothing; 1: it committed something the caller must take up.
    int32_t gDialogOK = 0;
    // The trimmed text of the last confirmed search; emptied by each caller before it shows the search.
    QString gSearchText;
};

} // namespace kestrova
