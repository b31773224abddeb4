#pragma once

#include <QByteArray>
#include <QString>

// Writing the files that must stay whole: the settings file, the communication log file and the export files.
namespace kestrova {

// Replaces the file at path with bytes (a link at path is followed, and stays). Where the folder allows it,
// the bytes go to a new file beside it that is then renamed over it, so that a crash leaves the old file or
// the new one and never a part; a file the user may not write is not replaced. Where the folder lets no file
// be made but the file itself may be written, it is written in place, unless inPlace is Refused (a failure
// there could leave a part of the file). False, with the reason in error, when neither could be done.
enum class InPlaceWrite { Allowed, Refused };
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error,
                    InPlaceWrite inPlace = InPlaceWrite::Allowed);

// Removes what writes of path left beside it when the program was killed before the rename: the regular
// files of this user named as the write names its new file ("<file>.kestrova-tmp-" and six letters or
// digits) that no write holds open. Nothing of another name is touched.
void RemoveWriteLeftovers(const QString& path);

} // namespace kestrova
