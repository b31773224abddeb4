#pragma once

#include "data/records.h"
#include "startup/code_page.h"

#include <QLocale>
#include <QString>

// The communication log: the dispatcher's running text of what happened on the modem line, held by the
// window's log box, and the file Kestrova.log that keeps it from one run to the next. The functions here
// take the log text and return the new one; the window shows it.
namespace kestrova {

// The log text followed by text and CR LF.
QString AppendCommLog(const QString& logText, const QString& text);

// The newest 200 lines: with more than 200 CR LF line ends, everything after the 201st line end counted
// from the end; otherwise the text unchanged.
QString TrimCommLog(const QString& logText);

// Entry texts, given to AppendCommLog as they are.
// A dial: the dial time as the locale's date-and-time text, then "撥號給：" and the plate on a second line.
QString DialLogEntry(const QString& dialTime, const QString& plateNumber, const QLocale& locale = QLocale::system());
// The terminal answered: "已撥通".
QString AnsweredLogEntry();
// A decoded position report, from the vehicle's updated record. Throws what DirectionName throws.
QString PositionLogEntry(const VehicleRecord& vehicle);
// A call that timed out without a report: "訊號不良" when the terminal answered, else "未撥通".
QString TimeoutLogEntry(bool answered);
// Calling stopped: the vehicle's current CheckPoint, whatever it is.
QString StopLogEntry(const VehicleRecord& vehicle);
// The end of a call: "掛斷" and CR LF, so the log gets the line and an empty line.
QString HangUpLogEntry();
// A modem reset: "自動撥號器重開機" and CR LF.
QString ModemResetLogEntry();

// The log file in the program folder.
QString CommLogFilePath(const QString& programFolder);

// The log text kept in the file at path: lines ended by CR LF, a lone CR or the end of the file, joined
// with CR LF, empty lines before the first non-empty one dropped. A missing file (or a folder in its place)
// gives "". Throws RuntimeError when the file exists but cannot be read.
QString ReadCommLogFile(const QString& path, const CodePage& codePage);

// Replaces the file at path with the log text and one more CR LF, in the code page (WriteWholeFile).
// Throws RuntimeError when it cannot be written.
void WriteCommLogFile(const QString& path, const QString& logText, const CodePage& codePage);

} // namespace kestrova
