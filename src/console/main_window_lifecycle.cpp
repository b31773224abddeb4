#include "console/main_window_lifecycle.h"

#include "calling/comm_log.h"
#include "console/vehicle_list_view.h"
#include "startup/column_widths.h"
#include "startup/form_placement.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/version.h"
#include "startup/whole_file.h"

#include <array>
#include <cmath>
#include <utility>

namespace kestrova {

namespace {

constexpr int kPanelCount = 8;
constexpr int16_t kDefaultZoom = 12;
constexpr int kTrackGridTab = 2;

const QString kPositionSection = QStringLiteral("Position");
const QString kPositionKey = QStringLiteral("Kestrova");
const QString kZoomSection = QStringLiteral("Zoom");
const QString kVehicleSection = QStringLiteral("Vehicle");
const QString kColumnWidthsSection = QStringLiteral("ColumnWidths");
const QString kTrackQuerySection = QStringLiteral("TrackQuery");

// lvwVehicle's columns in their order, in twips; none takes the list's own default width.
constexpr std::array<std::optional<float>, kVehicleListColumnCount> kVehicleListColumnWidths = {
    std::nullopt, 1500.0f, 2250.0f, std::nullopt, 1500.0f, std::nullopt, std::nullopt, std::nullopt};

struct FilterSetting {
    MainWindowControls::FilterBox box;
    const char* key;
};

// In the order they are filled and saved; txtInterval last.
constexpr std::array<FilterSetting, 5> kFilterSettings = {{
    {MainWindowControls::FilterBox::txtFromSpeed, "FromSpeed"},
    {MainWindowControls::FilterBox::txtToSpeed, "ToSpeed"},
    {MainWindowControls::FilterBox::txtFromOffset, "FromOffset"},
    {MainWindowControls::FilterBox::txtToOffset, "ToOffset"},
    {MainWindowControls::FilterBox::txtInterval, "Interval"},
}};

QString mapFilePath(const QString& programFolder, const QString& fileName) {
    return programFolder + QStringLiteral("/nv5/") + fileName;
}

} // namespace

QString VersionedTitle(const QString& title, int major, int minor, int revision) {
    return title + QStringLiteral(" V%1.%2.%3").arg(major).arg(minor).arg(revision);
}

int16_t ZoomFromSetting(QStringView text) {
    const double zoom = Round(Val(text));
    // The negated test also sends infinities to the default.
    if (!(zoom >= 6 && zoom <= 14)) {
        return kDefaultZoom;
    }
    return static_cast<int16_t>(zoom);
}

QString LeadingNumberText(QStringView text) {
    const double value = Val(text);
    if (!std::isfinite(value)) {
        throw RuntimeError(kOverflow);
    }
    return NumberText(value);
}

bool ListVisibleBeforeToggle(QStringView sstab) {
    return sstab.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
}

MainWindowLifecycle::MainWindowLifecycle(MainWindowLifecycleParts parts) : m_parts(std::move(parts)) {}

void MainWindowLifecycle::Form_Load() {
    MainWindowControls& controls = m_parts.controls;
    // A run killed while it replaced the settings or the log file left the new text beside it. This
    // instance holds the folder now, so no write of another one is under way.
    RemoveWriteLeftovers(m_parts.settings.filePath());
    RemoveWriteLeftovers(CommLogFilePath(m_parts.programFolder));
    try {
        m_parts.gDBLib.OpenConnection(DatabasePath(m_parts.programFolder));
        loadMapFiles();
        RestoreFormPlacement(controls.placementWindow(), m_parts.settings, kPositionSection, kPositionKey, 0, 0);

        // Boxes shown with the default title carry the version from here on.
        const QString title =
            VersionedTitle(m_parts.box.defaultTitle(), kVersionMajor, kVersionMinor, kVersionRevision);
        m_parts.box.setDefaultTitle(title);
        controls.setCaption(title);

        restoreZooms();
        createListColumns();
        restoreListState();
        controls.setTxtCommLogText(ReadCommLogFile(CommLogFilePath(m_parts.programFolder), m_parts.codePage));

        controls.setDtpFromTimeValue(m_parts.clock.now().date());
        controls.setDtpToTimeValue(controls.dtpFromTimeValue());

        restoreFilters();
        // Track-query mode switches the track grid's tab on.
        controls.setTabEnabled(kTrackGridTab, false);

        m_parts.LoadVehicleList();
        m_parts.LoadCallSettings();
        m_parts.LoadCoordinates();
        m_parts.state.CurrentVehicle = -1;
        // Turns ListVisible back to the saved state and lays the window out.
        m_parts.CarList_Click();
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    }
}

void MainWindowLifecycle::loadMapFiles() {
    const auto path = [&](const char* key) {
        return mapFilePath(m_parts.programFolder,
                           m_parts.settings.GetIniString(QStringLiteral("Nv5"), QLatin1String(key)));
    };
    const auto report = [&](const char* message) {
        // Still the title without the version: that is added after the map files.
        m_parts.box.notice(QString::fromUtf8(message), m_parts.box.defaultTitle());
    };

    m_mapEngine = m_parts.createMapEngine();
    m_parts.state.MapEngine = m_mapEngine.get();
    MapEngineInterface& engine = *m_mapEngine;
    if (engine.LoadProfile(path("Profile")) == 0) {
        report("PPG-SDK: Load Profile fail.");
    }
    if (engine.OpenMap(path("Map")) == 0) {
        report("PPG-SDK: Open Map File Fail->Not a valid map.");
    }
    if (engine.LoadBackground(path("Mmh")) == 0) {
        report("PPG-SDK: Load Background file error.");
    }
}

void MainWindowLifecycle::restoreZooms() {
    for (int i = 0; i < kPanelCount; ++i) {
        const int16_t zoom = ZoomFromSetting(m_parts.settings.GetIniString(kZoomSection, QString::number(i)));
        m_parts.controls.setLblZoomCaption(i, QString::number(zoom));
    }
}

void MainWindowLifecycle::createListColumns() {
    for (int i = 0; i < kVehicleListColumnCount; ++i) {
        m_parts.controls.addVehicleListColumn(kVehicleListColumns[i].key, kVehicleListColumns[i].header,
                                              kVehicleListColumnWidths[i]);
    }
}

void MainWindowLifecycle::restoreListState() {
    const QString widths = m_parts.settings.GetIniString(kColumnWidthsSection, QStringLiteral("Vehicle"));
    const QString sstab = m_parts.settings.GetIniString(kColumnWidthsSection, QStringLiteral("SStab"));
    // CarList_Click at the end of start-up toggles it into the saved state.
    m_parts.state.ListVisible = ListVisibleBeforeToggle(sstab);
    if (!widths.isEmpty()) {
        SetColumnWidths(m_parts.controls.lvwVehicleColumns(), widths);
    }
}

void MainWindowLifecycle::restoreFilters() {
    for (const FilterSetting& filter : kFilterSettings) {
        const QString value = m_parts.settings.GetIniString(kTrackQuerySection, QLatin1String(filter.key));
        m_parts.controls.setFilterText(filter.box, LeadingNumberText(value));
    }
    m_parts.controls.txtInterval_Change();
}

void MainWindowLifecycle::Form_QueryUnload() {
    try {
        if (m_parts.controls.isTimer2Enabled()) {
            m_parts.StopCalling();
        }
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    }
}

void MainWindowLifecycle::Form_Unload() {
    try {
        m_parts.ResetTrackQuery();
        WriteCommLogFile(CommLogFilePath(m_parts.programFolder), m_parts.controls.txtCommLogText(), m_parts.codePage);
        saveVehicles();
        saveSettings();
        if (m_parts.state.MapEngine != nullptr) {
            m_parts.state.MapEngine->CloseMap();
        }
        m_parts.gDBLib.CloseConnection();
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    }
}

void MainWindowLifecycle::saveVehicles() {
    // Every vehicle but the last element, the PlaybackSlot, whether its values moved on or not.
    std::vector<VehicleRecord>& vehicles = m_parts.state.Vehicles;
    for (std::size_t i = 0; i + 1 < vehicles.size(); ++i) {
        VehicleRecord& v = vehicles[i];
        m_parts.gDBLib.UpdateVehicle(v.SeqNO, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1,
                                     v.TelNumber2, v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution,
                                     v.CarType, v.Dial, v.DialTime, v.CheckPoint, v.EW, v.X, v.NS, v.Y, v.Speed,
                                     v.Direction, v.Offset, v.Healthy);
    }
}

void MainWindowLifecycle::saveSettings() {
    const SettingsFile& settings = m_parts.settings;
    MainWindowControls& controls = m_parts.controls;
    for (int i = 0; i < kPanelCount; ++i) {
        // An empty chooser keeps the panel's vehicle of the last run.
        const QString plate = controls.cmbVehicleText(i);
        if (!plate.isEmpty()) {
            settings.WriteIniString(kVehicleSection, QString::number(i), plate);
        }
    }
    for (int i = 0; i < kPanelCount; ++i) {
        settings.WriteIniString(kZoomSection, QString::number(i), controls.lblZoomCaption(i));
    }
    for (const FilterSetting& filter : kFilterSettings) {
        settings.WriteIniString(kTrackQuerySection, QLatin1String(filter.key),
                                LeadingNumberText(controls.filterText(filter.box)));
    }
    settings.WriteIniString(kColumnWidthsSection, QStringLiteral("Vehicle"),
                            GetColumnWidths(controls.lvwVehicleColumns()));
    settings.WriteIniString(kColumnWidthsSection, QStringLiteral("SStab"),
                            m_parts.state.ListVisible ? QStringLiteral("True") : QStringLiteral("False"));
    SaveFormPlacement(controls.placementWindow(), settings, kPositionSection, kPositionKey);
}

void MainWindowLifecycle::Form_Terminate() {
    m_parts.state.MapEngine = nullptr;
    m_mapEngine.reset();
}

void MainWindowLifecycle::endProgram(const QString& errorText) {
    m_parts.programEnd.EndProgram(errorText);
}

} // namespace kestrova
