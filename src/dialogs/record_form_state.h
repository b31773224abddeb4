#pragma once

#include "dialogs/vehicle_record_rules.h"

#include <QString>

// What the vehicle records dialog shows and lets the dispatcher use, computed from its mode, the shown
// row and the number of stored rows: the status-bar texts and the enabled state of every control.
namespace kestrova {

struct RecordFormState {
    // Status-bar panel 1, the record position ("資料錄：3/12"), and panel 2, the mode text.
    QString panel1;
    QString panel2;
    // Tool-bar buttons by key.
    bool NewRec = false;
    bool AmendmentRec = false;
    bool DelRec = false;
    bool CancelRec = false;
    bool WriteRec = false;
    bool Search = false;
    bool FirstRec = false;
    bool ReplyRec = false;
    bool NextRec = false;
    bool LastRec = false;
    bool Exit = false;
    // The two frames of inputs.
    bool FraRec = false;
    bool FraCar = false;
    // The plate, name and telephone boxes, Option1, Option2, Check1 and Check2.
    bool recordInputs = false;
    // VehicleTxt(1), the terminal number: it is the key by which a row is amended, so never in amend mode.
    bool terminalNumber = false;
    // CarOption(0) to CarOption(3).
    bool carOptions = false;
    // Combo1 to Combo4: disabled at every refresh; a watch box that becomes ticked enables its pair.
    bool watchTimes = false;

    friend bool operator==(const RecordFormState&, const RecordFormState&) = default;
};

// n is the number of stored rows.
RecordFormState ComputeRecordFormState(RecordEditMode EditMode, int CurrentIndex, int n);

} // namespace kestrova
