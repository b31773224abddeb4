#pragma once

#include <QString>

// The communication log box txtCommLog as the calling logic writes to it: its whole text and its caret.
namespace kestrova {

class CommLogBox {
public:
    virtual ~CommLogBox() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    // Puts the caret after the last character, so that the newest line is in view.
    virtual void moveCaretToEnd() = 0;
};

// Appends Text and CR LF to the box's text and brings the newest line into view.
void AppendCommLog(CommLogBox& txtCommLog, const QString& Text);

// Cuts the box's text to its newest 200 lines.
void TrimCommLog(CommLogBox& txtCommLog);

} // namespace kestrova
