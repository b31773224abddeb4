#include "console/vehicle_list.h"

#include "console/vehicle_list_cells.h"
#include "data/data_errors.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace kestrova {

namespace {

const QString kVehicleSection = QStringLiteral("Vehicle");
const QString kShowlistKey = QStringLiteral("Showlist");
const QString kSearchKey = QStringLiteral("Search");
const QString kDialKey = QStringLiteral("Dial");

// Indexes of Vehicles are 16-bit: the spare last element must still have one.
constexpr int kMaxVehicles = 32767;

// Whether text holds part, as the runtime's InStr finds it: an empty text holds nothing.
bool ContainsText(const QString& text, const QString& part) {
    return !text.isEmpty() && text.contains(part);
}

} // namespace

VehicleList::VehicleList(VehicleListCollaborators parts) : m_parts(std::move(parts)) {}

int VehicleList::vehicleRowCount() const {
    const auto vehicles = static_cast<int>(std::min<std::size_t>(m_parts.state.Vehicles.size(), kMaxVehicles + 1));
    return std::max(0, std::min(m_parts.lvwVehicle.rowCount(), vehicles - 1));
}

void VehicleList::endProgram(const QString& text) {
    m_parts.programEnd.EndProgram(text);
}

void VehicleList::LoadVehicleList() {
    try {
        for (int i = 0; i < kVehicleChooserCount; ++i) {
            const QString kept = m_parts.cmbVehicle.text(i);
            if (!kept.isEmpty()) {
                m_parts.settings.WriteIniString(kVehicleSection, QString::number(i), kept);
            }
        }
        m_parts.state.bLoadingVehicles = true;
        readRegister();
        refillChoosers();
        m_parts.state.bLoadingVehicles = false;
        refillList();

        const bool hasRows = m_parts.lvwVehicle.rowCount() > 0;
        m_parts.toolBar.setButtonEnabled(kSearchKey, m_parts.sstSSTab.currentTab() == 0 && hasRows);
        for (const char* key : {"Kestrova", "ManualCall", "Dial", "TrackQuery"}) {
            m_parts.toolBar.setButtonEnabled(QString::fromLatin1(key), hasRows);
        }
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    } catch (const std::exception& error) {
        endProgram(QString::fromLocal8Bit(error.what()));
    }
}

void VehicleList::readRegister() {
    auto& Vehicles = m_parts.state.Vehicles;
    m_parts.gDBLib.OpenVehicleRecordset();
    Vehicles.assign(1, VehicleRecord{});
    for (int i = 0;; ++i) {
        VehicleRecord r;
        if (!m_parts.gDBLib.FetchVehicleRecord(r.SeqNO, r.PlateNumber, r.PhoneNumber, r.CarBrand, r.DriveName,
                                               r.TelNumber1, r.TelNumber2, r.MobileNumber1, r.MobileNumber2,
                                               r.StrCaution, r.EndCaution, r.CarType, r.Dial, r.DialTime, r.CheckPoint,
                                               r.EW, r.X, r.NS, r.Y, r.Speed, r.Direction, r.Offset, r.Healthy)) {
            break;
        }
        if (i >= kMaxVehicles) {
            throw RuntimeError(kOverflow);
        }
        Vehicles[static_cast<std::size_t>(i)] = std::move(r);
        Vehicles.emplace_back();
    }
    m_parts.gDBLib.CloseVehicleRecordset();
}

void VehicleList::refillChoosers() {
    const auto& Vehicles = m_parts.state.Vehicles;
    const int n = static_cast<int>(Vehicles.size()) - 1;
    PanelChoosers& cmbVehicle = m_parts.cmbVehicle;
    for (int i = 0; i < kVehicleChooserCount; ++i) {
        const QString kept = m_parts.settings.GetIniString(kVehicleSection, QString::number(i));
        cmbVehicle.clear(i);
        for (int j = 0; j < n; ++j) {
            const QString& plate = Vehicles[static_cast<std::size_t>(j)].PlateNumber;
            cmbVehicle.addItem(i, plate);
            if (plate == kept) {
                cmbVehicle.setListIndex(i, j);
            }
        }
        if (cmbVehicle.listIndex(i) == -1 && cmbVehicle.listCount(i) > 0) {
            cmbVehicle.setListIndex(i, 0);
        }
        cmbVehicle.setEnabled(i, cmbVehicle.listCount(i) > 0);
    }
}

void VehicleList::refillList() {
    const auto& Vehicles = m_parts.state.Vehicles;
    const int n = static_cast<int>(Vehicles.size()) - 1;
    VehicleListView& list = m_parts.lvwVehicle;
    const int selected = list.selectedRow();
    list.clearRows();
    for (int i = 0; i < n; ++i) {
        const VehicleRecord& v = Vehicles[static_cast<std::size_t>(i)];
        list.addRow(VehicleRowKey(v), VehicleRowTexts(v));
    }
    // The pop-up and the search act on the selected row, so a list with rows always has one.
    if (n > 0) {
        list.selectRow(selected < 0 ? 0 : std::min(selected, n - 1));
    }
}

void VehicleList::CarList_Click() {
    MainWindowState& state = m_parts.state;
    state.ListVisible = !state.ListVisible;
    ++m_toggleCount;
    m_parts.toolBar.setButtonCaption(kShowlistKey,
                                     state.ListVisible ? QStringLiteral("隱藏列表") : QStringLiteral("顯示列表"));
    m_parts.Form_Resize();
    if (!state.ListVisible) {
        return;
    }
    // Events run between rows may hide the list (and show it again, with a refresh of its own) or
    // rebuild Vehicles and the rows, so everything is looked at afresh after each yield.
    const uint64_t run = m_toggleCount;
    for (int i = 0; i < vehicleRowCount(); ++i) {
        m_parts.DoEvents();
        if (!state.ListVisible || run != m_toggleCount || i >= vehicleRowCount()) {
            return;
        }
        refreshRow(i);
    }
}

void VehicleList::refreshRow(int i) {
    VehicleRecord& v = m_parts.state.Vehicles[static_cast<std::size_t>(i)];
    if (v.X != 0 || v.Y != 0) {
        m_parts.DescribeLocation(v.X, v.Y, v.Address);
    }
    VehicleListView& list = m_parts.lvwVehicle;
    const bool marked = IsVehicleRowMarked(v.Healthy);
    const int32_t colour = marked ? kMarkedRowColour : kUnmarkedRowColour;
    list.setCellBold(i, VehicleListColumn::PlateNumber, marked);
    list.setCellColour(i, VehicleListColumn::PlateNumber, colour);
    list.setCellText(i, VehicleListColumn::Dial, VehicleCellText(v, VehicleListColumn::Dial));
    for (int c = static_cast<int>(VehicleListColumn::DialTime); c < kVehicleListColumnCount; ++c) {
        const auto column = static_cast<VehicleListColumn>(c);
        list.setCellText(i, column, VehicleCellText(v, column));
        list.setCellColour(i, column, colour);
    }
    list.selectRow(i);
    list.ensureVisible(i);
}

void VehicleList::lvwVehicle_ItemClick() {
    m_parts.lvwVehicle.refresh();
}

void VehicleList::lvwVehicle_MouseUp(int16_t Button, int16_t Shift, int X, int Y) {
    if (Button != 2 || Shift != 0 || m_parts.lvwVehicle.rowCount() == 0) {
        return;
    }
    const int row = m_parts.lvwVehicle.selectedRow();
    std::vector<MenuItem*> menVehiclePad = m_parts.menVehicle.menVehiclePad();
    if (row < 0 || row >= vehicleRowCount() || menVehiclePad.empty() || menVehiclePad[0] == nullptr) {
        return;
    }
    const VehicleRecord& v = m_parts.state.Vehicles[static_cast<std::size_t>(row)];
    menVehiclePad[0]->setCaption(v.Dial ? QStringLiteral("取消追蹤(&D)") : QStringLiteral("列入追蹤(&D)"));
    SetItemsEnabled(menVehiclePad, m_parts.state.CurrentVehicle == -1, 0, 0);
    m_parts.menVehicle.popUp(X, Y);
}

void VehicleList::menVehiclePad_Click(int16_t Index) {
    const int row = m_parts.lvwVehicle.selectedRow();
    // While a call runs the item is disabled; the flag of the vehicle being called must not change.
    if (Index != 0 || row < 0 || row >= vehicleRowCount() || m_parts.state.CurrentVehicle != -1) {
        return;
    }
    VehicleRecord& v = m_parts.state.Vehicles[static_cast<std::size_t>(row)];
    v.Dial = !v.Dial;
    m_parts.lvwVehicle.setCellText(row, VehicleListColumn::Dial, VehicleCellText(v, VehicleListColumn::Dial));
    m_parts.gDBLib.UpdateVehicle(v.SeqNO, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1,
                                 v.TelNumber2, v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution, v.CarType,
                                 v.Dial, v.DialTime, v.CheckPoint, v.EW, v.X, v.NS, v.Y, v.Speed, v.Direction, v.Offset,
                                 v.Healthy);
}

void VehicleList::sstSSTab_Click(int16_t /*PreviousTab*/) {
    using Content = ConsoleTabs::Content;
    ConsoleTabs& tabs = m_parts.sstSSTab;
    const int tab = tabs.currentTab();
    m_parts.toolBar.setButtonEnabled(kSearchKey, m_parts.lvwVehicle.rowCount() > 0 && tab == 0 &&
                                                     m_parts.toolBar.isButtonEnabled(kDialKey));
    switch (tab) {
    case 0: {
        tabs.setContentVisible(Content::txtCommLog, false);
        tabs.setContentVisible(Content::lvwVehicle, true);
        tabs.setContentVisible(Content::dbgTrackQuery, false);
        const int selected = m_parts.lvwVehicle.selectedRow();
        if (selected >= 0) {
            m_parts.lvwVehicle.ensureVisible(selected);
        }
        tabs.setFocusTo(Content::lvwVehicle);
        break;
    }
    case 1:
        tabs.setContentVisible(Content::txtCommLog, true);
        tabs.setContentVisible(Content::lvwVehicle, false);
        tabs.setContentVisible(Content::dbgTrackQuery, false);
        tabs.moveCommLogCaretToEnd();
        tabs.setFocusTo(Content::txtCommLog);
        break;
    default:
        tabs.setContentVisible(Content::txtCommLog, false);
        tabs.setContentVisible(Content::lvwVehicle, false);
        tabs.setContentVisible(Content::dbgTrackQuery, true);
        tabs.setFocusTo(Content::dbgTrackQuery);
        break;
    }
}

void VehicleList::FindVehicle(const QString& gSearchText) {
    try {
        const int m = vehicleRowCount();
        // Without a selected row the search starts at the first row.
        const int s = std::min(m_parts.lvwVehicle.selectedRow(), m - 1);
        const QString searched = Trim(gSearchText).toUpper();
        for (int k = 1; k <= m; ++k) {
            const int idx = (s + k) % m;
            if (ContainsText(m_parts.state.Vehicles[static_cast<std::size_t>(idx)].PlateNumber.toUpper(), searched)) {
                m_parts.lvwVehicle.selectRow(idx);
                m_parts.lvwVehicle.ensureVisible(idx);
                return;
            }
        }
        m_parts.box.exclamation(QStringLiteral("找不到車輛。"), m_parts.box.defaultTitle());
    } catch (const RuntimeError& error) {
        endProgram(error.text());
    } catch (const std::exception& error) {
        endProgram(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace kestrova
