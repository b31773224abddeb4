#pragma once

#include "calling/serial_port.h"
#include "startup/runtime_error.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

// A serial port for tests. It records what is written and when the port opens and closes, hands out
// text that the test has queued for reading, raises the receive event on demand, and can be made to
// fail when it is opened or written to. Settings are checked as the real port checks them.
//
// Journal entries: "open <port> <settings>", "close", "out <text>", "in <text>" (non-empty reads only).
namespace kestrova::test {

class FakeSerialPort final : public SerialPort {
public:
    FakeSerialPort() : m_journal(&m_ownJournal) {}

    bool PortOpen() const override { return m_open; }

    void setPortOpen(bool open) override {
        if (open == m_open) {
            return;
        }
        if (open && !m_openError.isEmpty()) {
            throw RuntimeError(m_openError);
        }
        m_open = open;
        ++(open ? m_openCount : m_closeCount);
        m_journal->append(open ? QStringLiteral("open %1 %2").arg(CommPort()).arg(Settings())
                               : QStringLiteral("close"));
    }

    void Output(const QString& text) override {
        if (!m_open) {
            throw RuntimeError(PortNotOpenText());
        }
        if (!m_outputError.isEmpty()) {
            throw PortFailure(m_outputError);
        }
        m_outputs.append(text);
        m_journal->append(QStringLiteral("out ") + text);
        if (m_responder) {
            m_responder(text);
        }
    }

    QString Input() override {
        if (!m_open) {
            throw RuntimeError(PortNotOpenText());
        }
        if (!m_readError.isEmpty()) {
            throw PortFailure(m_readError);
        }
        QString text;
        if (!m_pendingReads.isEmpty()) {
            text = m_pendingReads.takeFirst();
            m_journal->append(QStringLiteral("in ") + text);
        }
        return text;
    }

    // Queues text that arrives from the device. Each queued piece is returned by one Input, as though it
    // came just before that read; queue one piece for what a single read takes.
    void feed(const QString& text) { m_pendingReads.append(text); }

    // Queues text and raises the receive event for it, as a read notification would.
    void receive(const QString& text) {
        feed(text);
        raiseOnComm();
    }

    // Raises the receive event without new text.
    void raiseReceiveEvent() { raiseOnComm(); }

    bool hasPendingInput() const { return !m_pendingReads.isEmpty(); }

    // Opening fails with this error text while it is not empty.
    void failOpenWith(const QString& errorText) { m_openError = errorText; }
    // Writing, or reading, fails as a failed device does, with this error text while it is not empty.
    void failOutputWith(const QString& errorText) { m_outputError = errorText; }
    void failInputWith(const QString& errorText) { m_readError = errorText; }

    // Runs after each successful write with the text written, for instance to feed the modem's reply.
    void setResponder(std::function<void(const QString&)> responder) { m_responder = std::move(responder); }

    const QStringList& outputs() const { return m_outputs; }
    int openCount() const { return m_openCount; }
    int closeCount() const { return m_closeCount; }

    const QStringList& journal() const { return *m_journal; }
    void shareJournal(QStringList& journal) { m_journal = &journal; }

private:
    bool m_open = false;
    int m_openCount = 0;
    int m_closeCount = 0;
    QString m_openError;
    QString m_outputError;
    QString m_readError;
    QStringList m_outputs;
    QStringList m_pendingReads;
    std::function<void(const QString&)> m_responder;
    QStringList m_ownJournal;
    QStringList* m_journal;
};

} // namespace kestrova::test
