#pragma once

#include "startup/column_widths.h"
#include "startup/form_placement.h"

#include <QDate>
#include <QString>
#include <optional>

// The controls of the main window that its start-up and shut-down set or read, so that the two run in
// tests against a fake and in the window against its widgets.
namespace kestrova {

class MainWindowControls {
public:
    // The track-query filter boxes and the playback interval box.
    enum class FilterBox { txtFromSpeed, txtToSpeed, txtFromOffset, txtToOffset, txtInterval };

    virtual ~MainWindowControls() = default;

    virtual void setCaption(const QString& caption) = 0;

    // The zoom caption lblZoom(i) of map panel i, 0 to 7.
    virtual QString lblZoomCaption(int i) const = 0;
    virtual void setLblZoomCaption(int i, const QString& caption) = 0;

    // Appends a column to lvwVehicle; width in twips, none for the list's own default width.
    virtual void addVehicleListColumn(const QString& key, const QString& caption, std::optional<float> width) = 0;
    // The columns of lvwVehicle, for their widths.
    virtual ColumnWidthsView& lvwVehicleColumns() = 0;

    // The whole text of txtCommLog.
    virtual QString txtCommLogText() const = 0;
    virtual void setTxtCommLogText(const QString& text) = 0;

    // The date pickers dtpFromTime and dtpToTime.
    virtual QDate dtpFromTimeValue() const = 0;
    virtual void setDtpFromTimeValue(const QDate& date) = 0;
    virtual void setDtpToTimeValue(const QDate& date) = 0;

    // Setting a box's text runs none of its handlers.
    virtual QString filterText(FilterBox box) const = 0;
    virtual void setFilterText(FilterBox box, const QString& text) = 0;
    // The edit handler of txtInterval: brings the box into 1 to 10 seconds, with the slider and the
    // playback timer following.
    virtual void txtInterval_Change() = 0;

    // Switches tab 0 to 2 of sstSSTab on or off; a tab that is off cannot be selected.
    virtual void setTabEnabled(int tab, bool enabled) = 0;

    // The text of the vehicle chooser cmbVehicle(i) of map panel i, "" when nothing is chosen.
    virtual QString cmbVehicleText(int i) const = 0;

    // The window itself, for its placement.
    virtual PlacementWindow& placementWindow() = 0;

    // Timer2 runs while a call is in progress.
    virtual bool isTimer2Enabled() const = 0;
};

} // namespace kestrova
