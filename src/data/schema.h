#pragma once

#include <QString>

// Creation of a new, empty console database: the Vehicle, CommLog, Coordinate and MapReport tables,
// keyed with the database password; and the upgrade of a database made by an earlier build.
namespace kestrova {

class SqlConnection;

// Creates the database file at path (and its folder) with the four tables, the CommLog index that holds
// its rows whole by PlateNumber and DialTime, and the one MapReport row. Refuses, with a RuntimeError
// naming the file, when the file or a journal of it already exists; a half-made file is removed again.
void CreateDatabase(const QString& path);

// Brings a database made by an earlier build to the storage of a new one, once, on an open connection:
// the CommLog index of whole rows replaces the earlier one on (PlateNumber, DialTime). Every row is kept,
// and a failure leaves the file as it was. A file that has the index, or no CommLog, is not changed.
void UpgradeDatabase(SqlConnection& connection);

} // namespace kestrova
