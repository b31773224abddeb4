#pragma once

#include "console/vehicle_list_controls.h"
#include "console/vehicle_list_view.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <vector>

// Fakes of the controls the vehicle list logic works on. They keep what was set and flag any access to
// a row or chooser that does not exist.
namespace kestrova::test {

class FakeVehicleListView final : public VehicleListView {
public:
    struct Row {
        QString key;
        VehicleListRowTexts texts;
        std::array<std::optional<int32_t>, kVehicleListColumnCount> colours; // empty: the default colour
        std::array<bool, kVehicleListColumnCount> bold{};
    };

    int rowCount() const override { return static_cast<int>(rows.size()); }
    void clearRows() override {
        rows.clear();
        selected = -1;
    }
    void addRow(const QString& key, const VehicleListRowTexts& texts) override { rows.push_back({key, texts, {}, {}}); }
    int findRow(const QString& key) const override {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].key == key) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    QString cellText(int row, VehicleListColumn column) const override { return at(row).texts[index(column)]; }
    void setCellText(int row, VehicleListColumn column, const QString& text) override {
        at(row).texts[index(column)] = text;
    }
    void setCellColour(int row, VehicleListColumn column, int32_t colour) override {
        at(row).colours[index(column)] = colour;
    }
    void setCellBold(int row, VehicleListColumn column, bool bold) override { at(row).bold[index(column)] = bold; }
    int selectedRow() const override { return selected; }
    void selectRow(int row) override {
        at(row);
        selected = row;
        selections.push_back(row);
    }
    void ensureVisible(int row) override {
        at(row);
        scrolledTo.push_back(row);
    }
    void refresh() override { ++refreshes; }

    std::vector<Row> rows;
    int selected = -1;
    std::vector<int> selections;
    std::vector<int> scrolledTo;
    int refreshes = 0;

private:
    static std::size_t index(VehicleListColumn column) { return static_cast<std::size_t>(column); }
    Row& at(int row) const {
        if (row < 0 || row >= rowCount()) {
            ADD_FAILURE() << "row " << row << " does not exist";
            static Row nowhere;
            return nowhere;
        }
        return const_cast<Row&>(rows[static_cast<std::size_t>(row)]);
    }
};

class FakeVehiclePopupMenu final : public VehiclePopupMenu {
public:
    struct Item final : MenuItem {
        bool isEnabled() const override { return enabled; }
        void setEnabled(bool e) override { enabled = e; }
        void setCaption(const QString& c) override { caption = c; }
        bool enabled = true;
        QString caption = QStringLiteral("列入追蹤(&D)");
    };

    std::vector<MenuItem*> menVehiclePad() override { return {&pad0}; }
    void popUp(int x, int y) override { popUps.push_back({x, y}); }

    Item pad0;
    std::vector<std::pair<int, int>> popUps;
};

class FakePanelChoosers final : public PanelChoosers {
public:
    struct Chooser {
        QStringList items;
        int listIndex = -1;
        bool enabled = true;
    };

    QString text(int i) const override {
        const Chooser& c = at(i);
        return c.listIndex < 0 ? QString() : c.items.at(c.listIndex);
    }
    void clear(int i) override {
        at(i).items.clear();
        at(i).listIndex = -1;
    }
    void addItem(int i, const QString& text) override { at(i).items << text; }
    int listCount(int i) const override { return static_cast<int>(at(i).items.size()); }
    int listIndex(int i) const override { return at(i).listIndex; }
    void setListIndex(int i, int listIndex) override {
        EXPECT_GE(listIndex, -1);
        EXPECT_LT(listIndex, listCount(i));
        at(i).listIndex = listIndex;
        if (onClick) {
            onClick(i);
        }
    }
    void setEnabled(int i, bool enabled) override { at(i).enabled = enabled; }

    // Stands for cmbVehicle_Click, raised by every ListIndex change.
    std::function<void(int)> onClick;
    std::array<Chooser, kVehicleChooserCount> choosers;

private:
    Chooser& at(int i) const {
        EXPECT_TRUE(i >= 0 && i < kVehicleChooserCount) << "chooser " << i;
        return const_cast<Chooser&>(choosers.at(static_cast<std::size_t>(i)));
    }
};

class FakeToolBar final : public ToolBarButtons {
public:
    bool isButtonEnabled(const QString& key) const override {
        const auto found = enabled.find(key);
        return found != enabled.end() && found->second;
    }
    void setButtonEnabled(const QString& key, bool e) override { enabled[key] = e; }
    void setButtonCaption(const QString& key, const QString& caption) override { captions[key] = caption; }

    std::map<QString, bool> enabled;
    std::map<QString, QString> captions;
};

// Only the current tab matters to the list; the pages are the window's.
class FakeConsoleTabs final : public ConsoleTabs {
public:
    int currentTab() const override { return tab; }
    void setContentVisible(Content, bool) override {}
    void setFocusTo(Content) override {}
    void moveCommLogCaretToEnd() override {}

    int tab = 0;
};

} // namespace kestrova::test
