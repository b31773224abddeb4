#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>

// The system's code page: how the settings file, the communication log and the export files turn the
// program's Unicode texts into bytes and back. Conversions go through iconv; one object is used by one
// thread at a time.
namespace kestrova {

class CodePage {
public:
    // A code page by its iconv codeset name ("CP950", "UTF-8"). Throws RuntimeError when iconv lacks it.
    explicit CodePage(QByteArray codeset);
    CodePage(const CodePage& other);
    CodePage& operator=(const CodePage& other);
    CodePage(CodePage&&) noexcept;
    CodePage& operator=(CodePage&&) noexcept;
    ~CodePage();

    // The character set of the locale the program runs in (after setlocale(LC_ALL, "")).
    static CodePage system();

    // The codeset to use for a locale's nl_langinfo(CODESET): plain ASCII (the C/POSIX locale) and an
    // empty name count as UTF-8, so Chinese text is never reduced to question marks.
    static QByteArray codesetForLocale(QByteArrayView langinfoCodeset);

    const QByteArray& name() const { return m_name; }

    // Unicode to bytes; a character the code page lacks becomes "?".
    QByteArray encode(QStringView text) const;

    // Bytes to Unicode; each byte that starts no valid character becomes U+FFFD, never a failure.
    QString decode(QByteArrayView bytes) const;

    // The longest start of bytes that is at most maxBytes long and does not end inside a multi-byte
    // character.
    QByteArray cut(QByteArrayView bytes, qsizetype maxBytes) const;

private:
    struct Converters;

    QByteArray m_name;
    std::unique_ptr<Converters> m_converters;
};

} // namespace kestrova
