#include "data/field_value.h"

#include "data/data_errors.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <cmath>
#include <limits>

namespace kestrova {

static_assert(std::is_same_v<std::variant_alternative_t<int(FieldType::Text), FieldValue>, QString>);
static_assert(std::is_same_v<std::variant_alternative_t<int(FieldType::Integer), FieldValue>, qint64>);
static_assert(std::is_same_v<std::variant_alternative_t<int(FieldType::Single), FieldValue>, float>);
static_assert(std::is_same_v<std::variant_alternative_t<int(FieldType::DateTime), FieldValue>, QDateTime>);

FieldType TypeOf(const FieldValue& value) {
    return static_cast<FieldType>(value.index());
}

QString FieldText(const FieldValue& value) {
    switch (TypeOf(value)) {
    case FieldType::Null:
        return {};
    case FieldType::Text:
        return std::get<QString>(value);
    case FieldType::Integer:
        return QString::number(std::get<qint64>(value));
    case FieldType::Double:
        return NumberText(std::get<double>(value));
    case FieldType::Single:
        return NumberText(std::get<float>(value));
    case FieldType::DateTime:
        return GeneralDateText(std::get<QDateTime>(value));
    }
    return {};
}

double FieldNumber(const FieldValue& value) {
    switch (TypeOf(value)) {
    case FieldType::Null:
        throw RuntimeError(kInvalidUseOfNull);
    case FieldType::Text: {
        bool ok = false;
        const double number = std::get<QString>(value).trimmed().toDouble(&ok);
        if (!ok) {
            throw RuntimeError(kTypeMismatch);
        }
        return number;
    }
    case FieldType::Integer:
        return static_cast<double>(std::get<qint64>(value));
    case FieldType::Double:
        return std::get<double>(value);
    case FieldType::Single:
        return std::get<float>(value);
    case FieldType::DateTime:
        break;
    }
    throw RuntimeError(kTypeMismatch);
}

float SingleFromDouble(double value) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
        throw RuntimeError(kOverflow);
    }
    return static_cast<float>(value);
}

} // namespace kestrova
