#pragma once

#include <QString>
#include <stdexcept>

namespace kestrova {

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
