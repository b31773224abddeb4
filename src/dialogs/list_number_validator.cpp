#include "dialogs/list_number_validator.h"

#include <algorithm>

namespace kestrova {

ListNumberValidator::ListNumberValidator(int bottom, int top, QObject* parent)
    : QValidator(parent), m_bottom(bottom), m_top(top), m_maxDigits(QString::number(top).size()) {}

QValidator::State ListNumberValidator::validate(QString& input, int&) const {
    if (input.isEmpty()) {
        return Intermediate;
    }
    // ASCII digits only: QString::toInt would also take blanks and a sign.
    const bool digits = std::ranges::all_of(input, [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || input.size() > m_maxDigits) {
        return Invalid;
    }
    const int value = input.toInt();
    return value >= m_bottom && value <= m_top ? Acceptable : Invalid;
}

} // namespace kestrova
