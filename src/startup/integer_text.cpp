#include "startup/integer_text.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <QLocale>
#include <cmath>
#include <optional>

namespace kestrova {

namespace {

std::optional<double> wholeTextNumber(QStringView text) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = c.toDouble(text.trimmed(), &ok);
    // "inf" and "nan" parse as numbers here but are not numbers a variable can be assigned from.
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

} // namespace

int16_t CIntText(QStringView text) {
    const std::optional<double> number = wholeTextNumber(text);
    if (!number) {
        throw RuntimeError(kTypeMismatch);
    }
    return CInt(*number);
}

bool IsNumeric(QStringView text) {
    return wholeTextNumber(text).has_value();
}

} // namespace kestrova
