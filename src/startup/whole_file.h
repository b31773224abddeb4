#pragma once

#include <QByteArray>
#include <QString>

// Writing the files that must stay whole: the settings file and the communication log file.
namespace kestrova {

// Replaces the file at path with bytes. Where the folder allows it, the bytes go to a new file beside it
// that is then renamed over it, so that a crash leaves the old file or the new one and never a part.
// Where the folder lets no file be made but the file itself may be written, it is written in place,
// unless inPlace is Refused (a failure there could leave a part of the file).
// False, with the reason in error, when neither could be done.
enum class InPlaceWrite { Allowed, Refused };
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error,
                    InPlaceWrite inPlace = InPlaceWrite::Allowed);

// Removes the files that a write of path left beside it when the program was killed before the rename:
// path followed by "." and six letters of mixed case (the temporary names the write gives), regular files
// of this user only. A name of one case only, such as path.backup, is a person's and stays. Call it
// only while no other instance can be writing in the folder.
void RemoveWriteLeftovers(const QString& path);

} // namespace kestrova
