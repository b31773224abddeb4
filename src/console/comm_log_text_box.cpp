#include "console/comm_log_text_box.h"

#include <QTextCursor>

namespace kestrova {

CommLogTextBox::CommLogTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("txtCommLog"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The caret stays visible, so the operator sees where the newest line ends.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void CommLogTextBox::setText(const QString& text) {
    m_text = text;
    setPlainText(text);
}

void CommLogTextBox::moveCaretToEnd() {
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

} // namespace kestrova
