#include "startup/ini_text.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <random>

using kestrova::CodePage;
using kestrova::readIniValue;
using kestrova::writeIniValue;

namespace {

const CodePage& utf8() {
    static const CodePage codePage("UTF-8");
    return codePage;
}

const CodePage& cp950() {
    static const CodePage codePage("CP950");
    return codePage;
}

void expectRead(const QByteArray& text, const QString& section, const QString& key, const QString& expected,
                const CodePage& codePage = utf8()) {
    SCOPED_TRACE(text.toStdString() + " [" + section.toStdString() + "] " + key.toStdString());
    EXPECT_EQ(readIniValue(text, section, key, codePage), expected);
}

void expectWrite(const QByteArray& before, const QString& section, const QString& key, const QString& value,
                 const QByteArray& after, const CodePage& codePage = utf8()) {
    SCOPED_TRACE(before.toStdString() + " <- [" + section.toStdString() + "] " + key.toStdString());
    const std::optional<QByteArray> written = writeIniValue(before, section, key, value, codePage);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, after);
    EXPECT_EQ(readIniValue(*written, section, key, codePage), value.trimmed());
}

const QByteArray kSettings = "; prepared by the installer\r\n"
                             "[Settings]\r\n"
                             "DefaultTimeout=15\r\n"
                             "  CommPort = 3  \r\n"
                             "odd line without equals\r\n"
                             "\r\n"
                             "[Nv5]\r\n"
                             "Map=town.mbtiles\r\n";

} // namespace

TEST(IniRead, Names_MatchWithoutRegardToCase) {
    expectRead(kSettings, "Settings", "DefaultTimeout", "15");
    expectRead(kSettings, "SETTINGS", "defaulttimeout", "15");
    expectRead(kSettings, " settings ", " CommPort ", "3");
    expectRead(kSettings, "nv5", "MAP", "town.mbtiles");
}

TEST(IniRead, MissingSectionKeyOrText_ReadsEmpty) {
    expectRead(kSettings, "Zoom", "0", "");
    expectRead(kSettings, "Settings", "Velocity", "");
    expectRead(kSettings, "Settings", "Map", ""); // a key of another section
    expectRead(kSettings, "Settings", "odd line without equals", "");
    expectRead(kSettings, "Settings", "", "");
    expectRead(kSettings, "", "Map", "");
    expectRead("", "Settings", "CommPort", "");
    expectRead("Map=x\r\n[Nv5]\r\n", "Nv5", "Map", "");  // lines before the first section
    expectRead("[Nv5]\r\n;Map=x\r\n", "Nv5", "Map", ""); // a comment is no key
}

TEST(IniRead, FirstMatch_Wins) {
    expectRead("[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1");
    expectRead("[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n", "A", "k", "1");
    // Only the first section of a name is searched, for reading and for writing alike.
    expectRead("[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n", "A", "j", "");
}

TEST(IniRead, Value_BlanksAndOnePairOfQuotesRemoved) {
    expectRead("[A]\r\nk=\t value \t\r\n", "A", "k", "value");
    expectRead("[A]\r\nk=\" value \"\r\n", "A", "k", " value ");
    expectRead("[A]\r\nk='value'\r\n", "A", "k", "value");
    expectRead("[A]\r\nk=\"\"value\"\"\r\n", "A", "k", "\"value\"");
    expectRead("[A]\r\nk=\"value'\r\n", "A", "k", "\"value'");
    expectRead("[A]\r\nk=\"\r\n", "A", "k", "\"");
    expectRead("[A]\r\nk=\"\"\r\n", "A", "k", "");
    expectRead("[A]\r\nk=a=b\r\n", "A", "k", "a=b");
    expectRead("[A]\r\nk=\r\n", "A", "k", "");
    expectRead(QByteArray("[A]\r\nk=ab\0cd\r\n", 15), "A", "k", "ab");
}

TEST(IniRead, LineEnds_LfCrLfAndNoFinalNewline) {
    expectRead("[A]\nk=1\nj=2", "A", "j", "2");
    expectRead("[A]\r\nk=1\r\nj=2", "A", "j", "2");
    expectRead("\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1");
    expectRead("[A] ; comment\r\nk=1\r\n", "A", "k", "1");
    expectRead("[A\r\nk=1\r\n", "A", "k", "");
}

TEST(IniRead, LongValue_CutTo255BytesWithoutSplittingACharacter) {
    expectRead("[A]\r\nk=" + QByteArray(300, 'x') + "\r\n", "A", "k", QString(255, 'x'));
    expectRead("[A]\r\nk=\"" + QByteArray(300, 'x') + "\"\r\n", "A", "k", QString(255, 'x'));
    expectRead("[A]\r\nk=" + QByteArray(255, 'x') + "\r\n", "A", "k", QString(255, 'x'));
    // "中" is two bytes in CP950: at bytes 255 and 256 it is left out whole, at 254 and 255 it stays.
    expectRead("[A]\r\nk=" + QByteArray(254, 'x') + "\xA4\xA4y\r\n", "A", "k", QString(254, 'x'), cp950());
    expectRead("[A]\r\nk=" + QByteArray(253, 'x') + "\xA4\xA4y\r\n", "A", "k", QString(253, 'x') + QStringLiteral("中"),
               cp950());
    // In UTF-8 it is three bytes.
    expectRead("[A]\r\nk=" + QByteArray(253, 'x') + "\xE4\xB8\xAD\r\n", "A", "k", QString(253, 'x'));
}

TEST(IniRead, ChineseNames_CompareByCharacterNotByByte) {
    // "乙" is A4 41 and "兀" A4 61: their trail bytes are "A" and "a", yet they are different keys.
    const QByteArray text = "[\xA8\xAE\xBD\xF8]\r\n\xA4\x61=2\r\n\xA4\x41=1\r\n";
    expectRead(text, QStringLiteral("車輛"), QStringLiteral("乙"), "1", cp950());
    expectRead(text, QStringLiteral("車輛"), QStringLiteral("兀"), "2", cp950());
    // "也" ends in the byte of "]": the section name still ends at the real bracket.
    expectRead("[\xA4\x5D]\r\nk=\xA4\xA4\r\n", QStringLiteral("也"), "k", QStringLiteral("中"), cp950());
    expectRead("[Fullwidth]\r\n\xA2\xCF=1\r\n", "Fullwidth", QStringLiteral("Ａ"), "1", cp950());
    expectRead("[Fullwidth]\r\n\xA2\xCF=1\r\n", "Fullwidth", QStringLiteral("ａ"), "1", cp950());
}

TEST(IniWrite, MissingText_GetsSectionAndKey) {
    expectWrite("", "Settings", "CommPort", "3", "[Settings]\r\nCommPort=3\r\n");
    expectWrite("; comment", "Settings", "CommPort", "3", "; comment\r\n[Settings]\r\nCommPort=3\r\n");
    expectWrite("[A]\r\nk=1\r\n", "B", "j", "2", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n");
}

TEST(IniWrite, ExistingKey_ReplacedInPlaceOtherBytesKept) {
    expectWrite(kSettings, "settings", "commport", "7",
                "; prepared by the installer\r\n[Settings]\r\nDefaultTimeout=15\r\nCommPort=7\r\n"
                "odd line without equals\r\n\r\n[Nv5]\r\nMap=town.mbtiles\r\n");
    expectWrite("[A]\r\nk=1\r\nk=2\r\n", "A", "K", "3", "[A]\r\nk=3\r\nk=2\r\n");
    expectWrite("[A]\r\nk=1", "A", "k", "2", "[A]\r\nk=2\r\n");
    // A file with LF line ends keeps them; the line written ends in CR LF.
    expectWrite("[A]\nk=1\nj=2\n", "A", "k", "x", "[A]\nk=x\r\nj=2\n");
}

TEST(IniWrite, MissingKey_AddedAfterTheSectionsLastEntry) {
    expectWrite(kSettings, "Settings", "Velocity", "1",
                "; prepared by the installer\r\n[Settings]\r\nDefaultTimeout=15\r\n  CommPort = 3  \r\n"
                "odd line without equals\r\nVelocity=1\r\n\r\n[Nv5]\r\nMap=town.mbtiles\r\n");
    expectWrite("[A]\r\nk=1\r\n; about B\r\n[B]\r\n", "A", "j", "2", "[A]\r\nk=1\r\nj=2\r\n; about B\r\n[B]\r\n");
    expectWrite("[A]\r\n\r\n[B]\r\n", "A", "j", "2", "[A]\r\nj=2\r\n\r\n[B]\r\n");
    expectWrite("[A]", "A", "j", "2", "[A]\r\nj=2\r\n");
    expectWrite("[A]\r\nk=1", "A", "j", "2", "[A]\r\nk=1\r\nj=2\r\n");
}

TEST(IniWrite, EmptyValue_KeepsTheKey) {
    expectWrite("[A]\r\nk=1\r\n", "A", "k", "", "[A]\r\nk=\r\n");
    expectWrite("[A]\r\n", "A", "j", "", "[A]\r\nj=\r\n");
}

TEST(IniWrite, Chinese_WrittenInTheCodePage) {
    expectWrite("", QStringLiteral("車輛"), QStringLiteral("乙"), QStringLiteral("中文"),
                "[\xA8\xAE\xBD\xF8]\r\n\xA4\x41=\xA4\xA4\xA4\xE5\r\n", cp950());
    expectWrite("[\xA8\xAE\xBD\xF8]\r\n\xA4\x61=2\r\n", QStringLiteral("車輛"), QStringLiteral("乙"), "1",
                "[\xA8\xAE\xBD\xF8]\r\n\xA4\x61=2\r\n\xA4\x41=1\r\n", cp950());
    const std::optional<QByteArray> written = writeIniValue("", "A", "k", QStringLiteral("中\U0001F600"), cp950());
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, QByteArray("[A]\r\nk=\xA4\xA4?\r\n"));
}

TEST(IniWrite, LineBreakOrEmptyName_Refused) {
    EXPECT_FALSE(writeIniValue("", "A", "k", "1\r\n[Settings]", utf8()).has_value());
    EXPECT_FALSE(writeIniValue("", "A", "k", "1\n2", utf8()).has_value());
    EXPECT_FALSE(writeIniValue("", "A\nB", "k", "1", utf8()).has_value());
    EXPECT_FALSE(writeIniValue("", "A", "", "1", utf8()).has_value());
    EXPECT_FALSE(writeIniValue("", " ", "k", "1", utf8()).has_value());
    // A NUL ends a name or value, as it ends a C string.
    EXPECT_EQ(writeIniValue("", "A", QString::fromUtf16(u"k\0x", 3), QString::fromUtf16(u"v\0w", 3), utf8()),
              QByteArray("[A]\r\nk=v\r\n"));
}

TEST(IniWrite, RoundTrips_ManyKeysInAnyOrder) {
    QByteArray text;
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const QString section = QStringLiteral("S%1").arg(random() % 5);
        const QString key = QStringLiteral("k%1").arg(random() % 7);
        const QString value = QStringLiteral("值%1").arg(random());
        const std::optional<QByteArray> written = writeIniValue(text, section, key, value, cp950());
        ASSERT_TRUE(written.has_value());
        text = *written;
        ASSERT_EQ(readIniValue(text, section.toLower(), key.toUpper(), cp950()), value);
    }
    EXPECT_FALSE(text.contains("\n\n"));
    EXPECT_EQ(text.count("\r\n"), text.count('\n'));
}

TEST(IniMalformed, RandomBytes_ReadAndWriteWithoutCrashing) {
    std::mt19937 random(99);
    const char tokens[] = {'[', ']', '=', '\r', '\n', ';', '"', '\'', ' ', '\0', '\xA4', '\xFF', 'k', 'K', 'S'};
    for (int round = 0; round < 400; ++round) {
        QByteArray text;
        const int length = static_cast<int>(random() % 300);
        for (int i = 0; i < length; ++i) {
            text.append(random() % 2 ? tokens[random() % sizeof tokens] : static_cast<char>(random() & 0xFF));
        }
        for (const CodePage* codePage : {&utf8(), &cp950()}) {
            readIniValue(text, "S", "k", *codePage);
            const std::optional<QByteArray> written = writeIniValue(text, "Kestrova-Fuzz", "Key", "v", *codePage);
            ASSERT_TRUE(written.has_value());
            EXPECT_TRUE(written->startsWith(text));
            EXPECT_EQ(readIniValue(*written, "kestrova-fuzz", "key", *codePage), "v");
        }
    }
}

TEST(IniMalformed, EnormousLine_ReadAndWritten) {
    QByteArray text = "[A]\r\nk=";
    text.append(QByteArray(8 * 1024 * 1024, 'x'));
    EXPECT_EQ(readIniValue(text, "A", "k", utf8()), QString(255, 'x'));
    const std::optional<QByteArray> written = writeIniValue(text, "A", "j", "1", utf8());
    ASSERT_TRUE(written.has_value());
    EXPECT_TRUE(*written == text + "\r\nj=1\r\n");
}
