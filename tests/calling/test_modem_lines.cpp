#include "calling/modem_lines.h"

#include "startup/qstring_printer.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

TEST(TakeReceivedLines, LineEnds_CutAtCrWithLfsAndEmptyLinesDropped) {
    QString buffer = QStringLiteral("+CS");
    EXPECT_EQ(TakeReceivedLines(buffer, u"Q: 15,0\r\n\r\nOK\r\n\n"), QStringList({"+CSQ: 15,0", "OK"}));
    EXPECT_EQ(buffer, QString());

    EXPECT_EQ(TakeReceivedLines(buffer, u"A\rB\rC"), QStringList({"A", "B"}));
    EXPECT_EQ(buffer, QStringLiteral("C"));

    EXPECT_TRUE(TakeReceivedLines(buffer, u"\n").isEmpty());
    EXPECT_EQ(buffer, QStringLiteral("C"));
}

TEST(TakeReceivedLines, TextThatNeverEnds_KeepsOnlyItsNewestPart) {
    QString buffer;
    EXPECT_TRUE(TakeReceivedLines(buffer, QString(kReceiveBufferLimit, u'a') + QStringLiteral("tail")).isEmpty());
    ASSERT_EQ(buffer.size(), kReceiveBufferLimit);
    EXPECT_TRUE(buffer.endsWith(QStringLiteral("atail")));

    // The cut applies to the rest only, not to the complete lines before it.
    const QString longLine(2 * kReceiveBufferLimit, u'b');
    buffer.clear();
    const QStringList lines = TakeReceivedLines(buffer, longLine + QStringLiteral("\rrest"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), longLine.size());
    EXPECT_EQ(buffer, QStringLiteral("rest"));
}

void expectLine(QStringView line, ModemLineKind kind, const QString& reply = {}) {
    const ModemLine sorted = ClassifyModemLine(line);
    EXPECT_EQ(sorted.kind, kind) << line.toString().toStdString();
    EXPECT_EQ(sorted.reply, reply) << line.toString().toStdString();
}

TEST(ClassifyModemLine, Kinds_ByExactCaseSensitiveTestsInTableOrder) {
    expectLine(u"+CREG: 0,1 ", ModemLineKind::Registration, QStringLiteral("0,1"));
    expectLine(u"+CREG:", ModemLineKind::Registration);
    expectLine(u"+creg: 0,1", ModemLineKind::Ignored);
    expectLine(u"+CSQ:  15,99", ModemLineKind::SignalQuality, QStringLiteral("15,99"));
    expectLine(u"$", ModemLineKind::Answered);
    expectLine(u"$NO DIALTONE", ModemLineKind::Answered);
    expectLine(u"*012345678901234567890123456#", ModemLineKind::PositionReport);
    expectLine(u"OK NO DIALTONE", ModemLineKind::NoDialTone);
    expectLine(u"no dialtone", ModemLineKind::Ignored);
    expectLine(u"OK", ModemLineKind::Ignored);
    expectLine(u"ATD0911;", ModemLineKind::Ignored);
    // A framed line with a non-digit is no report and is not tried further.
    expectLine(u"*NO DIALTONE1234567890123456#", ModemLineKind::Ignored);
    // Not framed (28 characters): the dial-tone test applies.
    expectLine(u"*NO DIALTONE123456789012345#", ModemLineKind::NoDialTone);
}

} // namespace
