#include "console/track_desktop.h"

#include <QDesktopServices>

namespace kestrova {

TrackDesktop SystemTrackDesktop() {
    TrackDesktop desktop;
    desktop.openUrl = [](const QUrl& file) { return QDesktopServices::openUrl(file); };
    return desktop;
}

} // namespace kestrova
