#pragma once

#include <QString>

// Creation of a new, empty console database: the Vehicle, CommLog, Coordinate and MapReport tables,
// keyed with the database password.
namespace kestrova {

// Creates the database file at path (and its folder) with the four tables, the CommLog index on
// (PlateNumber, DialTime) and the one MapReport row. Refuses, with a RuntimeError naming the file,
// when the file or a journal of it already exists; a half-made file is removed again.
void CreateDatabase(const QString& path);

} // namespace kestrova
