#pragma once

#include <QString>

// The other controls of the main window that the vehicle list logic reads or sets: the eight vehicle
// choosers of the map panels, the tool-bar buttons by key, and the tab control with its three pages.
namespace kestrova {

inline constexpr int kVehicleChooserCount = 8;

// cmbVehicle(0) to cmbVehicle(7): drop-down lists of plate numbers in Vehicles order.
class PanelChoosers {
public:
    virtual ~PanelChoosers() = default;
    // The chosen item's text, "" when nothing is chosen.
    virtual QString text(int index) const = 0;
    // Removes every item; ListIndex becomes -1.
    virtual void clear(int index) = 0;
    virtual void addItem(int index, const QString& text) = 0;
    virtual int listCount(int index) const = 0;
    virtual int listIndex(int index) const = 0;
    // Raises the chooser's cmbVehicle_Click.
    virtual void setListIndex(int index, int listIndex) = 0;
    virtual void setEnabled(int index, bool enabled) = 0;
};

// The tool-bar buttons, found by their keys ("Search", "Dial", "Showlist"...).
class ToolBarButtons {
public:
    virtual ~ToolBarButtons() = default;
    virtual bool isButtonEnabled(const QString& key) const = 0;
    virtual void setButtonEnabled(const QString& key, bool enabled) = 0;
    virtual void setButtonCaption(const QString& key, const QString& caption) = 0;
};

// The tab control sstSSTab: tab 0 holds lvwVehicle, tab 1 txtCommLog, tab 2 dbgTrackQuery.
class ConsoleTabs {
public:
    enum class Content { txtCommLog, lvwVehicle, dbgTrackQuery };

    virtual ~ConsoleTabs() = default;
    virtual int currentTab() const = 0;
    virtual void setContentVisible(Content content, bool visible) = 0;
    virtual void setFocusTo(Content content) = 0;
    // Puts the caret of txtCommLog after its last character.
    virtual void moveCommLogCaretToEnd() = 0;
};

} // namespace kestrova
