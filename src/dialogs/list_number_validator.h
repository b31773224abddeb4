#pragma once

#include <QValidator>

// What a number box beside a fixed list (the watch times' hour and minute) lets be typed: a whole number
// from the list's lowest to its highest entry, in no more digits than the highest has. Nothing else can
// be entered, not even on the way to a number: a box never holds a number the list could not.
namespace kestrova {

class ListNumberValidator final : public QValidator {
public:
    ListNumberValidator(int bottom, int top, QObject* parent);

    // Acceptable for such a number, Intermediate for the empty text, Invalid for anything else.
    State validate(QString& input, int& pos) const override;

private:
    int m_bottom;
    int m_top;
    qsizetype m_maxDigits;
};

} // namespace kestrova
