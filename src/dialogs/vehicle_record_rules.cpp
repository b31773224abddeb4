#include "dialogs/vehicle_record_rules.h"

#include "startup/integer_text.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <QStringList>
#include <algorithm>

namespace kestrova {

namespace {

const QString kNoWatch = QStringLiteral("N");

constexpr qsizetype kPlateMax = 20;
constexpr qsizetype kTerminalNumberMax = 20;
constexpr qsizetype kNameMax = 10;
constexpr qsizetype kTelephoneMax = 15;

// Characters, not UTF-16 units: a character outside the basic plane counts once.
qsizetype characterCount(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())) {
            ++count;
        }
    }
    return count;
}

// The list position of a part of a stored time: the whole part read as an integer, minus offset; -1 when
// it is no number or falls outside the list.
int listPosition(const QString& part, int offset, int count) {
    try {
        const int position = CIntText(part) - offset;
        return position >= 0 && position < count ? position : -1;
    } catch (const RuntimeError&) {
        return -1;
    }
}

QString twoDigits(const QString& text) {
    return Format(Int(Val(text)), u"00");
}

// The stored rows: every element but the spare last one.
int storedRowCount(const std::vector<VehicleRow>& VehicleRows) {
    return VehicleRows.empty() ? 0 : static_cast<int>(VehicleRows.size()) - 1;
}

// The index of the first stored row that matches, -1 when none does; skip is never taken.
template <typename Match> int firstStoredRow(const std::vector<VehicleRow>& VehicleRows, Match matches, int skip = -1) {
    const int n = storedRowCount(VehicleRows);
    for (int i = 0; i < n; ++i) {
        if (i != skip && matches(VehicleRows[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    return -1;
}

} // namespace

WatchTimeSelection SelectWatchTime(const QString& stored) {
    if (stored == kNoWatch) {
        return {};
    }
    const QStringList parts = stored.split(u':');
    WatchTimeSelection selection;
    selection.ticked = true;
    if (parts.size() >= 2) {
        selection.hourIndex = listPosition(parts[0], 1, kHourListCount);
        selection.minuteIndex = listPosition(parts[1], 0, kMinuteListCount);
    }
    return selection;
}

QString WatchTimeText(bool ticked, const QString& hourText, const QString& minuteText) {
    if (!ticked) {
        return kNoWatch;
    }
    if (hourText.isEmpty() || minuteText.isEmpty()) {
        return QStringLiteral("00:00");
    }
    return twoDigits(hourText) + u':' + twoDigits(minuteText);
}

std::optional<QString> FirstFailedCheck(const VehicleRow& entered, RecordEditMode mode,
                                        const std::vector<VehicleRow>& VehicleRows, int CurrentIndex) {
    if (characterCount(entered.PlateNumber) > kPlateMax) {
        return kPlateTooLong;
    }
    if (!IsNumeric(entered.PhoneNumber)) {
        return kCheckTerminalNumber;
    }
    if (characterCount(entered.PhoneNumber) > kTerminalNumberMax) {
        return kTerminalNumberTooLong;
    }
    if (characterCount(entered.CarBrand) > kNameMax || characterCount(entered.DriveName) > kNameMax) {
        return kPlateTooLong;
    }
    const std::pair<const QString*, const QString*> telephones[] = {{&entered.TelNumber1, &kTel1TooLong},
                                                                    {&entered.TelNumber2, &kTel2TooLong},
                                                                    {&entered.MobileNumber1, &kMobile1TooLong},
                                                                    {&entered.MobileNumber2, &kMobile2TooLong}};
    for (const auto& [number, message] : telephones) {
        if (characterCount(*number) > kTelephoneMax) {
            return *message;
        }
    }
    if (entered.StrCaution != kNoWatch && entered.EndCaution == entered.StrCaution) {
        return kWatchTimeWrong;
    }

    if (mode == RecordEditMode::Add) {
        // Every element, the spare empty one included.
        const auto anyElementHas = [&](QString VehicleRow::*field) {
            return std::ranges::any_of(VehicleRows,
                                       [&](const VehicleRow& row) { return row.*field == entered.*field; });
        };
        if (anyElementHas(&VehicleRow::PlateNumber)) {
            return kSamePlate;
        }
        if (anyElementHas(&VehicleRow::PhoneNumber)) {
            return kSameTerminalNumber;
        }
    } else if (mode == RecordEditMode::Amend) {
        const auto samePlate = [&](const VehicleRow& row) { return row.PlateNumber == entered.PlateNumber; };
        if (firstStoredRow(VehicleRows, samePlate, CurrentIndex) >= 0) {
            return kSamePlate;
        }
    }
    return std::nullopt;
}

int FindPlateIndex(const std::vector<VehicleRow>& VehicleRows, const QString& searchText) {
    const QString searched = Trim(searchText).toUpper();
    return firstStoredRow(VehicleRows, [&](const VehicleRow& row) { return row.PlateNumber.toUpper() == searched; });
}

int FindPhoneNumberIndex(const std::vector<VehicleRow>& VehicleRows, const QString& PhoneNumber) {
    return firstStoredRow(VehicleRows, [&](const VehicleRow& row) { return row.PhoneNumber == PhoneNumber; });
}

} // namespace kestrova
