#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the console makes of the modem's output: the received text cut into lines at CR (LFs dropped),
// and each line sorted into the kinds the modem link acts on.
namespace kestrova {

// The most unterminated text kept between two receive events. No modem or terminal line comes near it;
// a device that never sends CR therefore cannot make the buffer grow without bound.
inline constexpr qsizetype kReceiveBufferLimit = 4096;

// Appends input, with every LF removed, to ReceiveBuffer and takes out the complete lines (those ended by
// CR), in order and without the empty ones. ReceiveBuffer keeps the unterminated rest, cut to its newest
// kReceiveBufferLimit characters.
QStringList TakeReceivedLines(QString& ReceiveBuffer, QStringView input);

enum class ModemLineKind {
    Registration,   // "+CREG:" reply
    SignalQuality,  // "+CSQ:" reply
    Answered,       // "$": the terminal has answered
    PositionReport, // a report frame to decode
    NoDialTone,     // "NO DIALTONE"
    Ignored,        // anything else, a report frame with a non-digit inside included
};

struct ModemLine {
    ModemLineKind kind = ModemLineKind::Ignored;
    // For a registration or signal-quality reply: the text after its prefix, trimmed of blanks.
    QString reply;
};

// Sorts a complete line by its beginning and content, the first matching kind winning; every test is
// exact and case-sensitive.
ModemLine ClassifyModemLine(QStringView line);

} // namespace kestrova
