#pragma once

#include "data/records.h"

#include <QString>
#include <optional>
#include <vector>

// The rules of the vehicle records dialog that need no window: how a watch time is shown in the hour
// and minute lists and built back from them, the checks an entered record must pass before it is
// written, and how a row is found by plate number or terminal number.
namespace kestrova {

// What the dialog is doing: browsing the rows, adding a row, or amending the shown row.
enum class RecordEditMode { Browse, Add, Amend };

// The watch time of a row as the dialog shows it: its box ticked or not, and the list positions of the
// hour ("1" to "24", position h - 1) and the minute ("0" to "59", position m); -1 is no selection.
struct WatchTimeSelection {
    bool ticked = false;
    int hourIndex = -1;
    int minuteIndex = -1;
    friend bool operator==(const WatchTimeSelection&, const WatchTimeSelection&) = default;
};

inline constexpr int kHourListCount = 24;
inline constexpr int kMinuteListCount = 60;

// The selection for a stored watch time: "N" unticks; "hh:mm" ticks and selects hour hh and minute mm.
// Any other text is ticked (it is not "N") with no selection in a list whose part it does not give, so a
// bad stored value never stops the dialog: "00:00" leaves the hour without a selection.
WatchTimeSelection SelectWatchTime(const QString& stored);

// The watch time to store: "N" when its box is unticked; "00:00" when the hour's or the minute's text is
// empty; otherwise the hour and the minute with two digits each ("8" and "5" give "08:05"). The texts are
// the lists' entries or typed digits; hour 24 is kept as "24", which reads back as the list's "24".
QString WatchTimeText(bool ticked, const QString& hourText, const QString& minuteText);

// The refusal messages of the checks.
inline const QString kPlateTooLong = QStringLiteral("車牌號碼長度過長!");
inline const QString kCheckTerminalNumber = QStringLiteral("請檢查車上端號碼!");
inline const QString kTerminalNumberTooLong = QStringLiteral("車上端號碼長度過長!");
inline const QString kTel1TooLong = QStringLiteral("電話1長度過長!");
inline const QString kTel2TooLong = QStringLiteral("電話2長度過長!");
inline const QString kMobile1TooLong = QStringLiteral("行動電話1長度過長!");
inline const QString kMobile2TooLong = QStringLiteral("行動電話2長度過長!");
inline const QString kWatchTimeWrong = QStringLiteral("警戒時間設定有誤!");
inline const QString kSamePlate = QStringLiteral("車牌號碼相同!");
inline const QString kSameTerminalNumber = QStringLiteral("車上端號碼相同!");

// The message of the first check that the entered record fails, nothing when it passes them all.
// VehicleRows holds the stored rows and the spare empty element after them; CurrentIndex is the shown
// row, the one an amend rewrites. Lengths count characters. In add mode the plate and the terminal
// number must differ from every element's (compared exactly, the spare included, so an empty plate is
// refused). In amend mode the plate must differ from every other stored row's: the register deletes by
// plate, so two rows sharing one would later be deleted together.
std::optional<QString> FirstFailedCheck(const VehicleRow& entered, RecordEditMode mode,
                                        const std::vector<VehicleRow>& VehicleRows, int CurrentIndex);

// The first of the stored rows (all elements but the spare last one) whose plate in upper case equals
// searchText in upper case with its leading and trailing blanks removed; -1 when none does.
int FindPlateIndex(const std::vector<VehicleRow>& VehicleRows, const QString& searchText);

// The first of the stored rows whose terminal number equals PhoneNumber exactly; -1 when none does.
int FindPhoneNumberIndex(const std::vector<VehicleRow>& VehicleRows, const QString& PhoneNumber);

} // namespace kestrova
