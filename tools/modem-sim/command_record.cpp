#include "modem-sim/command_record.h"

#include "startup/runtime_error.h"

namespace kestrova {

CommandRecord::CommandRecord(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw RuntimeError(QStringLiteral("cannot write the record file %1: %2").arg(path, m_file.errorString()));
}

void CommandRecord::add(double time, const QByteArray& line) {
    const QByteArray text = formatLine(time, line);
    if (m_file.write(text) != text.size() || !m_file.flush())
        throw RuntimeError(
            QStringLiteral("cannot write the record file %1: %2").arg(m_file.fileName(), m_file.errorString()));
}

QByteArray CommandRecord::formatLine(double time, const QByteArray& line) {
    QByteArray text = QByteArray::number(time, 'f', 3) + '\t';
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '\\')
            text += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text + '\n';
}

} // namespace kestrova
