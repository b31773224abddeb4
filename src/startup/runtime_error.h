#pragma once

#include <QDir>
#include <QString>
#include <stdexcept>

namespace kestrova {

// The runtime's texts for the failures that several layers raise.
inline const QString kOverflow = QStringLiteral("溢位");
inline const QString kTypeMismatch = QStringLiteral("型態不符合");
inline const QString kDivisionByZero = QStringLiteral("除數為零");
inline const QString kSubscriptOutOfRange = QStringLiteral("陣列索引超出範圍");
inline const QString kInvalidPropertyValue = QStringLiteral("無效的屬性值");

// The text of a failure of a file: the file, as the system writes its path, then the reason.
inline QString FileErrorText(const QString& path, const QString& reason) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// A run-time error with the text that the handlers show in their critical message box. Every layer
// throws it; the handlers named by the console catch it, show text() and end the program or go on.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

} // namespace kestrova
