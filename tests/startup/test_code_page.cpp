#include "startup/code_page.h"
#include "startup/runtime_error.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <random>

using kestrova::CodePage;

namespace {

const QString kReplacement(QChar(0xFFFD));

QByteArray bytes(const char* text) {
    return QByteArray(text);
}

void expectDecodes(const CodePage& codePage, const QByteArray& input, const QString& expected) {
    SCOPED_TRACE(input.toHex(' ').toStdString());
    EXPECT_EQ(codePage.decode(input), expected);
}

void expectCut(const CodePage& codePage, const QByteArray& input, qsizetype maxBytes, const QByteArray& expected) {
    SCOPED_TRACE(input.toHex(' ').toStdString() + " to " + std::to_string(maxBytes));
    EXPECT_EQ(codePage.cut(input, maxBytes), expected);
}

} // namespace

TEST(CodePage, Cp950Chinese_RoundTripsThroughBig5Bytes) {
    const CodePage cp950("CP950");
    EXPECT_EQ(cp950.encode(QStringLiteral("中文 AB")), bytes("\xA4\xA4\xA4\xE5 AB"));
    EXPECT_EQ(cp950.decode(bytes("\xA4\xA4\xA4\xE5 AB")), QStringLiteral("中文 AB"));
    // "許" ends in the byte of a backslash and "也" in that of "]": they stay one character each.
    EXPECT_EQ(cp950.encode(QStringLiteral("許也")), bytes("\xB3\x5C\xA4\x5D"));
    EXPECT_EQ(cp950.decode(bytes("\xB3\x5C\xA4\x5D")), QStringLiteral("許也"));
}

TEST(CodePage, LongText_RoundTripsBeyondOneConversionBuffer) {
    const CodePage cp950("CP950");
    QString text;
    for (int i = 0; i < 5000; ++i) {
        text += QStringLiteral("車輛定位a");
    }
    const QByteArray encoded = cp950.encode(text);
    EXPECT_EQ(encoded.size(), 5000 * 9);
    EXPECT_EQ(cp950.decode(encoded), text);
}

TEST(CodePage, CharacterTheCodePageLacks_BecomesQuestionMark) {
    const CodePage cp950("CP950");
    // One "?" per character, also for a character outside the basic plane (two UTF-16 units).
    EXPECT_EQ(cp950.encode(QStringLiteral("a\U0001F600b\u05D0c")), bytes("a?b?c"));
    EXPECT_EQ(cp950.encode(QStringLiteral("\uFFFD")), bytes("?"));
    const CodePage utf8("UTF-8");
    EXPECT_EQ(utf8.encode(QStringLiteral("中\U0001F600")), QStringLiteral("中\U0001F600").toUtf8());
}

TEST(CodePage, InvalidBytes_DecodeToReplacementCharacters) {
    const CodePage cp950("CP950");
    expectDecodes(cp950, bytes("\xFF"), kReplacement);
    expectDecodes(cp950, bytes("A\xA4"), "A" + kReplacement);   // lead byte cut off by the end
    expectDecodes(cp950, bytes("\xA4 B"), kReplacement + " B"); // lead byte without a trail byte
    expectDecodes(cp950, QByteArray("a\0b", 3), QString::fromUtf16(u"a\0b", 3));
    const CodePage utf8("UTF-8");
    expectDecodes(utf8, bytes("\xC3\x28"), kReplacement + "(");
    expectDecodes(utf8, bytes("\xE4\xB8"), kReplacement);
    expectDecodes(utf8, bytes("\xED\xA0\x80x"), kReplacement + kReplacement + kReplacement + "x");
    expectDecodes(utf8, QByteArray(), QString());
}

TEST(CodePage, RandomBytes_NeverFailToDecodeOrCut) {
    std::mt19937 random(20240917);
    const CodePage codePages[] = {CodePage("CP950"), CodePage("UTF-8")};
    for (int round = 0; round < 500; ++round) {
        QByteArray input(static_cast<qsizetype>(random() % 600), '\0');
        for (char& byte : input) {
            byte = static_cast<char>(random() & 0xFF);
        }
        for (const CodePage& codePage : codePages) {
            const QString text = codePage.decode(input);
            EXPECT_LE(text.size(), input.size() * 2);
            const QByteArray head = codePage.cut(input, 255);
            EXPECT_LE(head.size(), 255);
            EXPECT_TRUE(input.startsWith(head));
            // The cut ends on a character boundary, so its text starts the whole text.
            EXPECT_TRUE(text.startsWith(codePage.decode(head)));
        }
    }
}

TEST(CodePage, Cut_NeverSplitsADoubleByteCharacter) {
    const CodePage cp950("CP950");
    const QByteArray ab = bytes("AB\xA4\xA4\xA4\xE5"); // "AB中文"
    expectCut(cp950, ab, 6, ab);
    expectCut(cp950, ab, 100, ab);
    expectCut(cp950, ab, 5, bytes("AB\xA4\xA4"));
    expectCut(cp950, ab, 4, bytes("AB\xA4\xA4"));
    expectCut(cp950, ab, 3, bytes("AB"));
    expectCut(cp950, ab, 0, QByteArray());
    expectCut(cp950, bytes("\xFF\xFF\xA4\xA4"), 3, bytes("\xFF\xFF"));
    const CodePage utf8("UTF-8");
    expectCut(utf8, QStringLiteral("a中").toUtf8(), 3, bytes("a"));
    expectCut(utf8, QStringLiteral("a中").toUtf8(), 4, QStringLiteral("a中").toUtf8());
}

TEST(CodePage, LocaleCodeset_AsciiCountsAsUtf8) {
    EXPECT_EQ(CodePage::codesetForLocale("ANSI_X3.4-1968"), "UTF-8");
    EXPECT_EQ(CodePage::codesetForLocale("ascii"), "UTF-8");
    EXPECT_EQ(CodePage::codesetForLocale(""), "UTF-8");
    EXPECT_EQ(CodePage::codesetForLocale("BIG5"), "BIG5");
    EXPECT_EQ(CodePage::codesetForLocale("UTF-8"), "UTF-8");
    // Whatever locale the tests run in, the system code page keeps Chinese text.
    const CodePage system = CodePage::system();
    EXPECT_EQ(system.decode(system.encode(QStringLiteral("中文"))), QStringLiteral("中文"));
}

TEST(CodePage, UnknownCodeset_Throws) {
    EXPECT_THROW(CodePage("NO-SUCH-CODESET"), kestrova::RuntimeError);
}

TEST(CodePage, Copies_ConvertIndependently) {
    const CodePage original("CP950");
    CodePage copy(original);
    CodePage assigned("UTF-8");
    assigned = copy;
    EXPECT_EQ(copy.name(), "CP950");
    EXPECT_EQ(assigned.encode(QStringLiteral("中")), bytes("\xA4\xA4"));
    EXPECT_EQ(original.decode(bytes("\xA4\xA4")), QStringLiteral("中"));
    CodePage moved(std::move(copy));
    EXPECT_EQ(moved.decode(bytes("\xA4\xE5")), QStringLiteral("文"));
}
