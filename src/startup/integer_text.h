#pragma once

#include <QStringView>
#include <cstdint>

// A text converted to a number as an assignment of a text to a numeric variable converts it: the whole
// text must be a number, unlike Val, which takes whatever number the text starts with.
namespace kestrova {

// The decimal number that text holds, blanks around it allowed ("3", " 3 ", "-2", "3.5", "1E1"), rounded
// to the nearest Integer with a half going to the even one. Throws RuntimeError("型態不符合") when the
// text is empty or not a number, RuntimeError("溢位") when the number is outside the Integer range.
int16_t CIntText(QStringView text);

// Whether text as a whole converts to a number by the same rule: blanks around it allowed, an empty
// text is no number.
bool IsNumeric(QStringView text);

} // namespace kestrova
