#include "console/comm_log_box.h"

#include "calling/comm_log.h"

namespace kestrova {

void AppendCommLog(CommLogBox& txtCommLog, const QString& Text) {
    txtCommLog.setText(AppendCommLog(txtCommLog.text(), Text));
    txtCommLog.moveCaretToEnd();
}

void TrimCommLog(CommLogBox& txtCommLog) {
    const QString text = txtCommLog.text();
    const QString trimmed = TrimCommLog(text);
    if (trimmed.size() != text.size()) {
        txtCommLog.setText(trimmed);
    }
}

} // namespace kestrova
