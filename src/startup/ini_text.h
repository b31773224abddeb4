#pragma once

#include "startup/code_page.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The text of a settings file in the private-profile format ("[Section]" lines followed by key=value
// lines): reading one value, and rewriting one key while every other line keeps its bytes. Section
// and key names are compared in Unicode, without regard to case, after decoding through the code page.
namespace kestrova {

// The most bytes of a value that a read returns.
inline constexpr qsizetype kIniValueMaxBytes = 255;

// The value of key in the first section called section, as the profile call returns it: "" when the
// section or the key is missing; the first matching key wins; blanks around the value are dropped, one
// pair of enclosing double or single quotes is removed and the rest is cut to 255 bytes in the code
// page, never inside a double-byte character. Lines before the first section belong to no section.
QString readIniValue(QByteArrayView text, const QString& section, const QString& key, const CodePage& codePage);

// The text with key in section set to value, every other line unchanged. The first matching key's line
// is replaced; a missing key is added after the last entry of the section, a missing section at the end
// of the text. Lines written end in CR LF. Empty names and texts with a line break cannot be written
// as one line: the result is then std::nullopt.
std::optional<QByteArray> writeIniValue(QByteArrayView text, const QString& section, const QString& key,
                                        const QString& value, const CodePage& codePage);

} // namespace kestrova
