#include "calling/qt_serial_port.h"
#include "startup/runtime_error.h"

#include "startup/qstring_printer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

using namespace kestrova;

namespace {

// Longest wait for bytes to cross the pseudo-terminal; normally they take well under a millisecond.
constexpr int kTimeoutMs = 3000;

// A pseudo-terminal whose slave side is port 3 of a temporary program folder (dev/com3 links to it).
class PtyPortTest : public ::testing::Test {
protected:
    // The application exists for this suite only: Qt must not be torn down after the program's exit.
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "test_calling";
            static char* argv[] = {name, nullptr};
            s_app = std::make_unique<QCoreApplication>(argc, argv);
        }
    }

    static void TearDownTestSuite() { s_app.reset(); }

    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0) << std::strerror(errno);
        ASSERT_EQ(grantpt(m_master), 0);
        ASSERT_EQ(unlockpt(m_master), 0);
        const QString slave = QString::fromLocal8Bit(ptsname(m_master));
        ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("dev")));
        ASSERT_TRUE(QFile::link(slave, m_folder.filePath(QStringLiteral("dev/com3"))));
    }

    void TearDown() override {
        if (m_master >= 0) {
            ::close(m_master);
        }
    }

    std::unique_ptr<QtSerialPort> openPort(const CodePage& codePage = CodePage("UTF-8")) {
        auto port = std::make_unique<QtSerialPort>(m_folder.path(), codePage);
        port->setCommPort(3);
        port->setPortOpen(true);
        return port;
    }

    void writeMaster(const QByteArray& bytes) {
        ASSERT_EQ(::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    }

    // The bytes that arrive at the master until `count` have come or the time-out passes.
    QByteArray readMaster(qsizetype count) {
        QByteArray bytes;
        QDeadlineTimer deadline(kTimeoutMs);
        while (bytes.size() < count && !deadline.hasExpired()) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
                break;
            }
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            bytes.append(buffer, n);
        }
        return bytes;
    }

    // Reads the port without running any event until `expected` characters have come.
    static QString inputWithoutEvents(SerialPort& port, qsizetype expected) {
        QString text;
        QDeadlineTimer deadline(kTimeoutMs);
        while (text.size() < expected && !deadline.hasExpired()) {
            text += port.Input();
        }
        return text;
    }

    termios slaveTermios() const {
        termios tio{};
        tcgetattr(m_master, &tio); // a pseudo-terminal master reports its slave's settings
        return tio;
    }

    static inline std::unique_ptr<QCoreApplication> s_app;
    QTemporaryDir m_folder;
    int m_master = -1;
};

} // namespace

TEST_F(PtyPortTest, Output_ReachesTheDeviceBeforeAnyEventRuns) {
    auto port = openPort();
    ASSERT_TRUE(port->PortOpen());
    port->Output(QStringLiteral("AT\r\n"));
    port->Output(QStringLiteral("AT+CREG?\r\n"));
    EXPECT_EQ(readMaster(14), QByteArray("AT\r\nAT+CREG?\r\n"));
}

TEST_F(PtyPortTest, Input_TakesEverythingThatCameWhileNoEventRan) {
    auto port = openPort();
    EXPECT_EQ(port->Input(), QString());
    writeMaster("OK\r\n");
    writeMaster("+CSQ: 15,99\r\n");
    EXPECT_EQ(inputWithoutEvents(*port, 17), QStringLiteral("OK\r\n+CSQ: 15,99\r\n"));
    EXPECT_EQ(port->Input(), QString());
}

TEST_F(PtyPortTest, ArrivingText_RaisesTheReceiveEventOnTheEventLoop) {
    auto port = openPort();
    QEventLoop loop;
    QString received;
    int events = 0;
    port->setOnComm([&] {
        ++events;
        received += port->Input();
        if (received.endsWith(u'\r')) {
            loop.quit();
        }
    });
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    writeMaster("+CREG: 0,1\r");
    loop.exec();
    EXPECT_GE(events, 1);
    EXPECT_EQ(received, QStringLiteral("+CREG: 0,1\r"));
}

TEST_F(PtyPortTest, TextTakenByAWrite_StillRaisesItsReceiveEvent) {
    auto port = openPort();
    QEventLoop loop;
    QString received;
    port->setOnComm([&] {
        received += port->Input();
        loop.quit();
    });
    writeMaster("OK\r\n");
    // Give the reply time to reach the slave side, then write: the write may read the reply while it
    // waits for the device, and the receive event must come all the same.
    QThread::msleep(20);
    port->Output(QStringLiteral("AT\r\n"));
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    if (received.isEmpty()) {
        loop.exec();
    }
    EXPECT_EQ(received, QStringLiteral("OK\r\n"));
}

TEST_F(PtyPortTest, Texts_CrossTheLineInTheCodePage) {
    auto port = openPort(CodePage("CP950"));
    port->Output(QStringLiteral("掛斷"));
    EXPECT_EQ(readMaster(4), QByteArray("\xB1\xBE\xC2\x5F"));
    writeMaster("\xBC\xB7\xB8\xB9\r");
    EXPECT_EQ(inputWithoutEvents(*port, 3), QStringLiteral("撥號\r"));
}

TEST_F(PtyPortTest, Settings_ReachTheDeviceAtOpeningAndWhileOpen) {
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told; speed and stop bits show.
    QtSerialPort port(m_folder.path(), CodePage("UTF-8"));
    port.setCommPort(3);
    port.setSettings(QStringLiteral("4800,n,8,2"));
    port.setPortOpen(true);
    termios tio = slaveTermios();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B4800));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);

    port.setSettings(QStringLiteral("9600,n,8,1"));
    tio = slaveTermios();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(port.Settings(), QStringLiteral("9600,n,8,1"));
}

TEST_F(PtyPortTest, ClosedPort_RefusesReadAndWriteAndOpensAgain) {
    auto port = openPort();
    port->setPortOpen(true); // already open: nothing happens
    port->setPortOpen(false);
    EXPECT_FALSE(port->PortOpen());
    port->setPortOpen(false);
    EXPECT_THROW(port->Output(QStringLiteral("AT\r\n")), RuntimeError);
    EXPECT_THROW(port->Input(), RuntimeError);

    port->setPortOpen(true);
    port->Output(QStringLiteral("ATH\r\n"));
    EXPECT_EQ(readMaster(5), QByteArray("ATH\r\n"));
}

TEST_F(PtyPortTest, MissingDevice_ThrowsItsErrorAndStaysClosed) {
    ASSERT_TRUE(QFile::link(m_folder.filePath(QStringLiteral("no-such-device")),
                            m_folder.filePath(QStringLiteral("dev/com7"))));
    QtSerialPort port(m_folder.path(), CodePage("UTF-8"));
    port.setCommPort(7);
    try {
        port.setPortOpen(true);
        ADD_FAILURE() << "opened";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().startsWith(m_folder.filePath(QStringLiteral("dev/com7")) + QStringLiteral(": ")))
            << error.text().toStdString();
        EXPECT_TRUE(error.text().contains(QStringLiteral("No such file or directory"))) << error.text().toStdString();
    }
    EXPECT_FALSE(port.PortOpen());
}

// The modem unplugged under the open port: the failure names the device and why it failed, whether a
// read of the console meets it or the receive event does first.
TEST_F(PtyPortTest, DeviceGoneUnderTheOpenPort_NamesTheDeviceAndItsReason) {
    const QString lost = m_folder.filePath(QStringLiteral("dev/com3: ")) + QString::fromLocal8Bit(std::strerror(EIO));
    const auto failureOf = [](const std::function<void()>& use) {
        try {
            use();
        } catch (const PortFailure& failure) {
            return failure.text();
        }
        return QStringLiteral("no failure");
    };

    auto port = openPort();
    ::close(std::exchange(m_master, -1));
    EXPECT_EQ(failureOf([&] { port->Input(); }), lost);
    EXPECT_EQ(failureOf([&] { port->Output(QStringLiteral("ATH\r\n")); }), lost);

    // A new line under the same link.
    port.reset();
    ASSERT_TRUE(QFile::remove(m_folder.filePath(QStringLiteral("dev/com3"))));
    SetUp();
    port = openPort();
    QEventLoop loop;
    QString raised;
    port->setOnComm([&] {
        raised = failureOf([&] { port->Input(); });
        loop.quit();
    });
    ::close(std::exchange(m_master, -1));
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(raised, lost);
}
