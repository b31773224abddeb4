#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The simulator's record of what it received: one line per command line, "<seconds>\t<line>", the
// seconds being scenario time since the start with three decimals. Bytes other than printable ASCII
// (and the backslash) are written as \xNN, so every command stays on one line of the file.
namespace kestrova {

class CommandRecord {
public:
    // Creates or empties the file; throws RuntimeError when it cannot be written.
    explicit CommandRecord(const QString& path);

    // Appends one command line and flushes it, so a reader sees it at once.
    void add(double time, const QByteArray& line);

    static QByteArray formatLine(double time, const QByteArray& line);

private:
    QFile m_file;
};

} // namespace kestrova
