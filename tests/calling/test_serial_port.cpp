#include "calling/serial_port.h"
#include "fake_clock.h"
#include "fake_serial_port.h"
#include "startup/runtime_error.h"

#include "startup/qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;

namespace {

void expectParses(const char* text, CommSettings expected) {
    SCOPED_TRACE(text);
    try {
        EXPECT_EQ(ParseCommSettings(QString::fromUtf8(text)), expected);
    } catch (const RuntimeError& error) {
        ADD_FAILURE() << "threw " << error.text().toStdString();
    }
}

void expectRejected(const QString& text) {
    SCOPED_TRACE(text.toStdString());
    try {
        ParseCommSettings(text);
        ADD_FAILURE() << "accepted";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.text(), QStringLiteral("無效的屬性值"));
    }
}

} // namespace

TEST(CommSettings, WellFormedTexts_GiveTheirFields) {
    expectParses("4800,n,8,1", {4800, CommParity::None, 8, CommStopBits::One});
    expectParses("9600,n,8,1", {9600, CommParity::None, 8, CommStopBits::One});
    expectParses("115200,E,7,2", {115200, CommParity::Even, 7, CommStopBits::Two});
    expectParses("300,o,5,1.5", {300, CommParity::Odd, 5, CommStopBits::OneAndHalf});
    expectParses("1200,M,6,1", {1200, CommParity::Mark, 6, CommStopBits::One});
    expectParses("2400,s,8,2", {2400, CommParity::Space, 8, CommStopBits::Two});
    expectParses(" 4800 , n , 8 , 1 ", {4800, CommParity::None, 8, CommStopBits::One});
}

TEST(CommSettings, MalformedTexts_ThrowInvalidPropertyValue) {
    for (const char* text : {"",
                             "4800",
                             "4800,n,8",
                             "4800,n,8,1,",
                             "4800,n,8,1,1",
                             "4800;n;8;1",
                             "abc,n,8,1",
                             ",n,8,1",
                             "0,n,8,1",
                             "-4800,n,8,1",
                             "+4800,n,8,1",
                             "48.00,n,8,1",
                             "9999999999,n,8,1",
                             "4800,x,8,1",
                             "4800,,8,1",
                             "4800,no,8,1",
                             "4800,n,4,1",
                             "4800,n,9,1",
                             "4800,n,88,1",
                             "4800,n,8,0",
                             "4800,n,8,3",
                             "4800,n,8,1.0",
                             "4800,n,8,15"}) {
        expectRejected(QString::fromUtf8(text));
    }
    expectRejected(QStringLiteral("４８００,n,8,1")); // full-width digits are not digits here
}

TEST(SerialPortProperties, RejectedValues_LeaveTheOldOnes) {
    test::FakeSerialPort port;
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_EQ(port.Settings(), QStringLiteral("9600,n,8,1"));

    port.setCommPort(3);
    port.setSettings(QStringLiteral("4800,n,8,1"));
    EXPECT_THROW(port.setCommPort(0), RuntimeError);
    EXPECT_THROW(port.setCommPort(-2), RuntimeError);
    EXPECT_THROW(port.setSettings(QStringLiteral("4800,q,8,1")), RuntimeError);
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.Settings(), QStringLiteral("4800,n,8,1"));
    EXPECT_EQ(port.parsedSettings().BaudRate, 4800);
}

TEST(SerialDevicePath, LinkInProgramFolder_WinsOverSystemPort) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("dev")));
    const QString dev = folder.filePath(QStringLiteral("dev"));

    // No entry: the system's port, numbered from 0.
    EXPECT_EQ(SerialDevicePath(folder.path(), 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(SerialDevicePath(folder.path(), 3), QStringLiteral("/dev/ttyS2"));

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dev + QStringLiteral("/com3")));
    EXPECT_EQ(SerialDevicePath(folder.path(), 3), dev + QStringLiteral("/com3"));

    // A link whose device has gone is still the port's device, so its own error is reported.
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("gone")), dev + QStringLiteral("/com4")));
    EXPECT_EQ(SerialDevicePath(folder.path(), 4), dev + QStringLiteral("/com4"));

    // Names are matched exactly: "COM5" is not port 5's entry.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dev + QStringLiteral("/COM5")));
    EXPECT_EQ(SerialDevicePath(folder.path(), 5), QStringLiteral("/dev/ttyS4"));
}

TEST(FakeDevices, SharedJournal_KeepsWritesAndWaitsInOrder) {
    QStringList journal;
    test::FakeSerialPort port;
    test::FakeClock clock;
    port.shareJournal(journal);
    clock.shareJournal(journal);
    port.setResponder([&port](const QString& text) {
        if (text == QStringLiteral("AT\r\n")) {
            port.feed(QStringLiteral("OK\r\n"));
        }
    });
    const QDateTime start = clock.now();

    port.setCommPort(2);
    port.setPortOpen(true);
    port.Output(QStringLiteral("AT\r\n"));
    clock.sleep(500);
    EXPECT_EQ(port.Input(), QStringLiteral("OK\r\n"));
    EXPECT_EQ(port.Input(), QString());
    port.setPortOpen(false);

    EXPECT_EQ(journal,
              QStringList({QStringLiteral("open 2 9600,n,8,1"), QStringLiteral("out AT\r\n"),
                           QStringLiteral("sleep 500"), QStringLiteral("in OK\r\n"), QStringLiteral("close")}));
    EXPECT_EQ(clock.now(), start.addMSecs(500));

    port.failOpenWith(QStringLiteral("/dev/ttyS1: No such file or directory"));
    EXPECT_THROW(port.setPortOpen(true), RuntimeError);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_THROW(port.Output(QStringLiteral("AT\r\n")), RuntimeError);
}
