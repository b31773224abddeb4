#include "startup/ini_text.h"

namespace kestrova {

namespace {

const char kLineEnd[] = "\r\n";

enum class LineKind { Blank, Comment, Section, Key, Other };

struct IniLine {
    qsizetype begin = 0;     // first byte of the line
    qsizetype next = 0;      // first byte of the line after it (the text's size for the last line)
    bool terminated = false; // the line ends with a line feed
    LineKind kind = LineKind::Blank;
    QString sectionName;    // Section: the name between "[" and the last "]", trimmed
    QByteArrayView keyName; // Key: the bytes before the first "=", trimmed
    QByteArrayView value;   // Key: the bytes after the first "=", trimmed
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView trimmedBytes(QByteArrayView bytes) {
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes[first])) {
        ++first;
    }
    while (last > first && isBlank(bytes[last - 1])) {
        --last;
    }
    return bytes.sliced(first, last - first);
}

// Walks a settings text line by line. Lines end at a line feed; a carriage return before it counts as a
// blank. Only bytes below 0x40 ("=", ";", quotes, blanks) are looked for in the raw bytes, since those
// never occur inside a double-byte character; "]" can, so section lines are decoded first.
class LineReader {
public:
    LineReader(QByteArrayView text, const CodePage& codePage) : m_text(text), m_codePage(codePage) {}

    bool next(IniLine& line) {
        if (m_pos >= m_text.size()) {
            return false;
        }
        line = IniLine{};
        line.begin = m_pos;
        const qsizetype feed = m_text.indexOf('\n', m_pos);
        const qsizetype end = feed < 0 ? m_text.size() : feed;
        line.terminated = feed >= 0;
        line.next = feed < 0 ? m_text.size() : feed + 1;
        QByteArrayView content = m_text.sliced(m_pos, end - m_pos);
        if (m_pos == 0 && content.startsWith("\xEF\xBB\xBF")) {
            content = content.sliced(3); // a UTF-8 byte order mark left by an editor
        }
        m_pos = line.next;
        classify(trimmedBytes(content), line);
        return true;
    }

private:
    void classify(QByteArrayView content, IniLine& line) const {
        if (content.isEmpty()) {
            line.kind = LineKind::Blank;
            return;
        }
        if (content.front() == ';') {
            line.kind = LineKind::Comment;
            return;
        }
        if (content.front() == '[' && content.contains(']')) {
            const QString decoded = m_codePage.decode(content);
            const qsizetype close = decoded.lastIndexOf(QLatin1Char(']'));
            if (close > 0) {
                line.kind = LineKind::Section;
                line.sectionName = decoded.sliced(1, close - 1).trimmed();
                return;
            }
        }
        const qsizetype equals = content.indexOf('=');
        if (equals < 0) {
            line.kind = LineKind::Other;
            return;
        }
        line.kind = LineKind::Key;
        line.keyName = trimmedBytes(content.first(equals));
        line.value = trimmedBytes(content.sliced(equals + 1));
    }

    QByteArrayView m_text;
    const CodePage& m_codePage;
    qsizetype m_pos = 0;
};

// A name as the profile call sees it: a C string (cut at the first NUL) with the blanks around it dropped.
QString callerName(QStringView name) {
    const qsizetype nul = name.indexOf(QChar(u'\0'));
    return (nul < 0 ? name : name.first(nul)).trimmed().toString();
}

QStringView cutAtNul(QStringView text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

bool sameName(const QString& stored, const QString& wanted) {
    return !stored.isEmpty() && stored.compare(wanted, Qt::CaseInsensitive) == 0;
}

bool sameKey(QByteArrayView stored, const QString& wanted, const CodePage& codePage) {
    return !stored.isEmpty() && codePage.decode(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(QStringView text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Where the wanted key stands in the first matching section of a text.
struct KeyPlace {
    std::optional<IniLine> header;   // the section's header line
    std::optional<IniLine> key;      // the first matching key line
    std::optional<IniLine> lastItem; // the section's last line that is neither blank nor a comment
};

KeyPlace findKey(QByteArrayView text, const QString& section, const QString& key, const CodePage& codePage) {
    KeyPlace place;
    LineReader reader(text, codePage);
    IniLine line;
    while (reader.next(line)) {
        if (line.kind == LineKind::Section) {
            if (place.header) {
                break; // only the first section of that name counts
            }
            if (sameName(line.sectionName, section)) {
                place.header = line;
            }
            continue;
        }
        if (!place.header) {
            continue;
        }
        if (line.kind == LineKind::Key || line.kind == LineKind::Other) {
            place.lastItem = line;
        }
        if (line.kind == LineKind::Key && sameKey(line.keyName, key, codePage)) {
            place.key = line;
            break;
        }
    }
    return place;
}

} // namespace

QString readIniValue(QByteArrayView text, const QString& section, const QString& key, const CodePage& codePage) {
    const QString wantedSection = callerName(section);
    const QString wantedKey = callerName(key);
    if (wantedSection.isEmpty() || wantedKey.isEmpty()) {
        return {};
    }
    const KeyPlace place = findKey(text, wantedSection, wantedKey, codePage);
    if (!place.key) {
        return {};
    }
    QByteArrayView value = place.key->value;
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0) {
        value = value.first(nul);
    }
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.sliced(1, value.size() - 2);
    }
    return codePage.decode(codePage.cut(value, kIniValueMaxBytes));
}

std::optional<QByteArray> writeIniValue(QByteArrayView text, const QString& section, const QString& key,
                                        const QString& value, const CodePage& codePage) {
    const QString wantedSection = callerName(section);
    const QString wantedKey = callerName(key);
    const QStringView newValue = cutAtNul(value);
    if (wantedSection.isEmpty() || wantedKey.isEmpty() || hasLineBreak(wantedSection) || hasLineBreak(wantedKey) ||
        hasLineBreak(newValue)) {
        return std::nullopt;
    }
    const KeyPlace place = findKey(text, wantedSection, wantedKey, codePage);
    QByteArray out;
    out.reserve(text.size() + wantedSection.size() + wantedKey.size() + newValue.size() * 2 + 16);

    if (place.key) {
        // The key keeps its spelling in the file; only its line is written anew.
        out.append(text.first(place.key->begin));
        out.append(place.key->keyName);
        out.append('=');
        out.append(codePage.encode(newValue));
        out.append(kLineEnd);
        out.append(text.sliced(place.key->next));
        return out;
    }

    QByteArray entry = codePage.encode(wantedKey);
    entry.append('=');
    entry.append(codePage.encode(newValue));
    entry.append(kLineEnd);
    if (place.header) {
        const IniLine& after = place.lastItem ? *place.lastItem : *place.header;
        out.append(text.first(after.next));
        if (!after.terminated) {
            out.append(kLineEnd);
        }
        out.append(entry);
        out.append(text.sliced(after.next));
        return out;
    }

    out.append(text);
    if (!text.isEmpty() && !text.endsWith('\n')) {
        out.append(kLineEnd);
    }
    out.append('[');
    out.append(codePage.encode(wantedSection));
    out.append(']');
    out.append(kLineEnd);
    out.append(entry);
    return out;
}

} // namespace kestrova
