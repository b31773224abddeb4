#pragma once

#include <QDateTime>
#include <QString>
#include <variant>

// One value of a result set's cell, and the conversions the forms runtime applies when a program
// assigns it to a text or a number.
namespace kestrova {

// The kinds of value, in the order of FieldValue's alternatives (Null is std::monostate).
enum class FieldType { Null, Text, Integer, Double, Single, DateTime };

using FieldValue = std::variant<std::monostate, QString, qint64, double, float, QDateTime>;

FieldType TypeOf(const FieldValue& value);

// As a text: Null gives "", numbers their default text form, a date-time the general date text.
QString FieldText(const FieldValue& value);

// As a number: Null is the runtime's "invalid use of Null" error; a text must hold a number.
double FieldNumber(const FieldValue& value);

// A Double narrowed to a Single: a finite value beyond the Single range is an overflow.
float SingleFromDouble(double value);

} // namespace kestrova
