#include "startup/integer_text.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <QLocale>
#include <cmath>

namespace kestrova {

int16_t CIntText(QStringView text) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = c.toDouble(text.trimmed(), &ok);
    // "inf" and "nan" parse as numbers here but are not numbers an Integer can be assigned from.
    if (!ok || !std::isfinite(number)) {
        throw RuntimeError(kTypeMismatch);
    }
    return CInt(number);
}

} // namespace kestrova
