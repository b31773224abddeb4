#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

// How the track history reaches the desktop: it runs its modal windows (the save dialog, the report's
// preview) and opens an exported file in the desktop's viewer for it. Tests answer both.
namespace kestrova {

struct TrackDesktop {
    // Shows the dialog modally and gives how it ended (QDialog::Accepted or Rejected).
    std::function<int(QDialog& dialog)> exec = [](QDialog& dialog) { return dialog.exec(); };
    // Opens the file URL without waiting for the viewer; false when no viewer could be started.
    std::function<bool(const QUrl& file)> openUrl;
};

// exec as above, openUrl through QDesktopServices.
TrackDesktop SystemTrackDesktop();

} // namespace kestrova
