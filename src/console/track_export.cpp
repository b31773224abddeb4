#include "console/track_export.h"

#include "data/data_errors.h"
#include "startup/event_handler.h"
#include "startup/runtime_error.h"
#include "track/track_files.h"
#include "track/track_grid_model.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace kestrova {

namespace {

const QString kExportSection = QStringLiteral("Export");
const QString kFileNameKey = QStringLiteral("FileName");

// The hourglass while the file is written.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

TrackExport::TrackExport(TrackExportParts parts) : m_parts(std::move(parts)) {}

void TrackExport::cmdExport_Click() {
    const QString Name = m_parts.settings.GetIniString(kExportSection, kFileNameKey);
    int16_t FilterIndex = 0;
    const QString Chosen = ShowSaveDialog(kTrackFileFilter, FilterIndex, QStringLiteral("匯出檔案"), Name);
    if (Chosen.isEmpty())
        return;
    if (!ExportTrack(Chosen, FilterIndex))
        return;
    m_parts.settings.WriteIniString(kExportSection, kFileNameKey, Chosen);
}

QString TrackExport::ShowSaveDialog(const QString& Filter, int16_t& FilterIndex, const QString& Title,
                                    const QString& FileName) {
    QFileDialog dialog(&m_parts.window, Title);
    QStringList filters;
    try {
        filters = DialogNameFilters(Filter);
    } catch (const RuntimeError& error) {
        m_parts.box.critical(error.text(), m_parts.box.defaultTitle());
        return {};
    }
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // An existing file is overwritten without asking; a name without suffix is kept as typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    if (!m_chosenFilter.isEmpty())
        dialog.selectNameFilter(m_chosenFilter);
    if (!FileName.isEmpty()) {
        dialog.setDirectory(QFileInfo(FileName).absolutePath());
        dialog.selectFile(FileName);
    }

    if (m_parts.desktop.exec(dialog) != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};
    m_chosenFilter = dialog.selectedNameFilter();
    FilterIndex = static_cast<int16_t>(filters.indexOf(m_chosenFilter) + 1);
    return files.first();
}

bool TrackExport::ExportTrack(const QString& FileName, int16_t FilterIndex) {
    std::optional<QString> failure;
    // A row that cannot be read ends the program, once the hourglass is gone; a file that cannot be
    // written, or rows that it cannot hold, are shown and survived.
    const bool read = RunEventHandler(m_parts.programEnd, [&] {
        const WaitCursor hourglass;
        const TrackGridModel* rows = m_parts.dataSource();
        if (rows == nullptr)
            throw RuntimeError(kNoRecordset);
        // A cursor of its own from the first row: the grid's current row and the playback stay where they are.
        ResultSet clone = rows->clone();
        failure = WriteTrackFile(FileName, clone, FilterIndex, m_parts.codePage);
    });
    if (!read) {
        return false;
    }
    if (failure) {
        m_parts.box.critical(*failure, m_parts.box.defaultTitle());
        return false;
    }
    if (m_parts.desktop.openUrl && !m_parts.desktop.openUrl(QUrl::fromLocalFile(FileName))) {
        m_parts.box.exclamation(
            QStringLiteral("檔案 '%1' 已匯出，但無法開啟檢視。").arg(QDir::toNativeSeparators(FileName)),
            m_parts.box.defaultTitle());
    }
    return true;
}

} // namespace kestrova
