#include "dialogs/settings_selection.h"
#include "startup/qstring_printer.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace kestrova;

namespace {

using Stored = QMap<QString, QString>;

SettingsSelection select(const Stored& stored) {
    return SelectStoredSettings([&](const QString& key) { return stored.value(key); });
}

Stored written(const SettingsSelection& selection) {
    Stored values;
    for (const auto& [key, value] : SettingsToWrite(selection)) {
        values.insert(key, value);
    }
    return values;
}

const Stored kExample{{"DefaultTimeout", "15"}, {"AutoTimeout", "40"},      {"ManualTimeout", "120"},
                      {"CommPort", "3"},        {"EnablePCSound", "1"},     {"LogDuration", "90"},
                      {"HalaMode", "0"},        {"TotalCycleTime", "3725"}, {"Velocity", "1"}};

} // namespace

TEST(SettingsSelection, StoredExampleSelectsItsEntriesAndIsWrittenBackUnchanged) {
    const SettingsSelection s = select(kExample);
    EXPECT_EQ(s.ComSys, (std::array<int, 5>{2, 2, 3, 0, 2})); // "15", "3", "40", "是", "90"
    EXPECT_EQ(s.ComCent, 1);                                  // "2" minutes
    EXPECT_EQ(s.ComSecond, 0);                                // "0" seconds
    EXPECT_EQ(s.FollowringTime, 1);
    EXPECT_EQ(s.FollowringCent, 2);
    EXPECT_EQ(s.FollowringSecond, 5);
    EXPECT_EQ(s.Combo1, 1);
    EXPECT_EQ(written(s), kExample);

    const std::vector<std::pair<QString, QString>> order = SettingsToWrite(s);
    QStringList keys;
    for (const auto& entry : order) {
        keys << entry.first;
    }
    EXPECT_EQ(keys, QStringList({"DefaultTimeout", "AutoTimeout", "ManualTimeout", "CommPort", "EnablePCSound",
                                 "LogDuration", "HalaMode", "TotalCycleTime", "Velocity"}));
}

TEST(SettingsSelection, BetweenEntriesTheNearestAndHalvesToTheEvenPosition) {
    const std::tuple<const char*, const char*, std::function<int(const SettingsSelection&)>, int> cases[] = {
        {"DefaultTimeout", "12", [](const SettingsSelection& s) { return s.ComSys[0]; }, 1},   // "10"
        {"DefaultTimeout", "12.5", [](const SettingsSelection& s) { return s.ComSys[0]; }, 2}, // "15"
        {"ManualTimeout", "265", [](const SettingsSelection& s) { return s.ComSecond; }, 2},   // "20"
        {"ManualTimeout", "275", [](const SettingsSelection& s) { return s.ComSecond; }, 4},   // "40"
        {"EnablePCSound", "0", [](const SettingsSelection& s) { return s.ComSys[3]; }, 1},     // "否"
        {"TotalCycleTime", "89999", [](const SettingsSelection& s) { return s.FollowringTime; }, 24},
    };
    for (const auto& [key, value, position, expected] : cases) {
        EXPECT_EQ(position(select({{key, value}})), expected) << key << "=" << value;
    }
}

TEST(SettingsSelection, ValuesOutsideTheListsLeaveThemWithoutSelection) {
    const SettingsSelection s = select({{"CommPort", "20"},
                                        {"Velocity", "2"},
                                        {"TotalCycleTime", "90000"},
                                        {"AutoTimeout", "abc"},
                                        {"LogDuration", "1E400"},
                                        {"EnablePCSound", "7"},
                                        {"ManualTimeout", "30"}});
    EXPECT_EQ(s.ComSys, (std::array<int, 5>{-1, -1, -1, -1, -1}));
    EXPECT_EQ(s.Combo1, -1);
    EXPECT_EQ(s.FollowringTime, -1);
    EXPECT_EQ(s.ComCent, -1);
    EXPECT_EQ(s.ComSecond, 3);
    EXPECT_EQ(s.chkHalaMode, 0);
    // Blank lists count -1; a short manual time-out left as loaded goes back as it was.
    const Stored back = written(s);
    EXPECT_EQ(back.value("DefaultTimeout"), "0");
    EXPECT_EQ(back.value("CommPort"), "0");
    EXPECT_EQ(back.value("ManualTimeout"), "30");
    EXPECT_EQ(back.value("EnablePCSound"), "0");
    EXPECT_EQ(back.value("Velocity"), "-1");
}

TEST(SettingsSelection, StoredHalaModeOverridesTheManualTimeout) {
    const SettingsSelection s = select({{"HalaMode", "1"}, {"ManualTimeout", "120"}});
    EXPECT_EQ(s.chkHalaMode, 1);
    EXPECT_EQ(s.ComCent, kHalaComCent);
    EXPECT_EQ(s.ComSecond, kHalaComSecond);
    EXPECT_EQ(written(s).value("ManualTimeout"), "270");
    EXPECT_EQ(written(s).value("HalaMode"), "1");
}
