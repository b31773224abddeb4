#pragma once

#include "data/result_set.h"
#include "startup/code_page.h"
#include "startup/runtime_error.h"
#include "startup/whole_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The two track files the export writes from a track result: a PaPaGO! track (.txt) and a MapSource 6.5
// text track (.trk), every line ended by CR LF, the last one too. Also the save dialog's filter text and
// the writing of the chosen file.
namespace kestrova {

// The save dialog's filters: pairs of description and pattern separated by "|".
inline const QString kTrackFileFilter = QStringLiteral("PaPaGO! 航跡檔(*.txt)|*.txt|MapSource 6.5 航跡檔(*.trk)|*.trk");
// The filters' 1-based positions, as the dialog reports the one chosen.
inline constexpr int16_t kTrackTextFilter = 1;
inline constexpr int16_t kTrackTrkFilter = 2;

// "desc|pattern|..." as Qt's name filters "desc (pattern)", patterns separated by ";" turned into Qt's
// blanks; a description that ends with "(pattern)" already stays as it is. Throws RuntimeError for a text
// that is not made of such pairs.
QStringList DialogNameFilters(const QString& filter);

// A row that the track files cannot hold: a DialTime that is no stored time "yyyy/mm/dd hh:mm:ss" of a real
// day, or a longitude X or latitude Y that is not a number above 0 and up to 180 or 90. The text names the
// row by its DialTime and says what is wrong.
class InvalidTrackRow : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// The PaPaGO! track of the rows from rs's current row to the last: a datum line, then per row
// "TP,D, " latitude ", " longitude ", " yy/mm/dd,hh:mm:ss ",0", both degrees with 9 decimals.
// The rows leave rs at EOF. Throws InvalidTrackRow for the first row that the file cannot hold, and
// RuntimeError for a row whose position cannot be read at all (Null).
QByteArray TrackText(ResultSet& rs, const CodePage& codePage);

// The MapSource track of the same rows: per day a header line (after an empty line from the second day
// on), then per row a 52-column line "T  ", "+"latitude (11), blank, "+"longitude (12), blank, the time
// "dd-MMM-yy hh:mm:ss" (18), blank, "-9999". Throws as TrackText.
QByteArray TrackTrk(ResultSet& rs, const CodePage& codePage);

// The file of the chosen filter: TrackText for 1, TrackTrk for 2, nothing for any other.
QByteArray TrackFile(ResultSet& rs, int16_t FilterIndex, const CodePage& codePage);

// Writes bytes as the whole file at path, replacing one that is there, as WriteWholeFile does (in place only
// where inPlace allows it). The failure's text, "<file>: <reason>", when it cannot be written.
std::optional<QString> WriteCompleteFile(const QString& path, const QByteArray& bytes,
                                         InPlaceWrite inPlace = InPlaceWrite::Refused);

// Writes TrackFile of rs at path as WriteWholeFile writes (replacing a file that is there), after removing
// what killed writes of path left beside it. A row that the file cannot hold writes nothing. The failure's
// text, "<file>: <reason>", when nothing was written or the write failed; RuntimeError as TrackFile.
std::optional<QString> WriteTrackFile(const QString& path, ResultSet& rs, int16_t FilterIndex,
                                      const CodePage& codePage);

} // namespace kestrova
