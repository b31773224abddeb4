#include "dialogs/record_form_state.h"

namespace kestrova {

RecordFormState ComputeRecordFormState(RecordEditMode EditMode, int CurrentIndex, int n) {
    RecordFormState state;
    state.panel1 = n > 0 ? QStringLiteral("資料錄：%1/%2").arg(CurrentIndex + 1).arg(n) : QStringLiteral("資料錄：0/0");
    switch (EditMode) {
    case RecordEditMode::Amend:
        state.panel2 = QStringLiteral("修改資料");
        break;
    case RecordEditMode::Add:
        state.panel2 = QStringLiteral("新增資料");
        break;
    case RecordEditMode::Browse:
        state.panel2 = n > 0 ? QString() : QStringLiteral("沒有資料");
        break;
    }

    const bool browsing = EditMode == RecordEditMode::Browse;
    state.NewRec = browsing;
    state.Exit = browsing;
    state.AmendmentRec = browsing && n > 0;
    state.DelRec = state.AmendmentRec;
    state.Search = state.AmendmentRec;
    state.CancelRec = !browsing;
    state.WriteRec = !browsing;
    state.FirstRec = browsing && n > 0 && CurrentIndex > 0;
    state.ReplyRec = state.FirstRec;
    state.NextRec = browsing && n > 0 && CurrentIndex + 1 < n;
    state.LastRec = state.NextRec;

    state.FraRec = !browsing;
    state.FraCar = !browsing;
    state.recordInputs = state.FraRec;
    state.terminalNumber = state.FraRec && EditMode != RecordEditMode::Amend;
    state.carOptions = state.FraCar;
    state.watchTimes = false;
    return state;
}

} // namespace kestrova
