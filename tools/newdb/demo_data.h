#pragma once

#include <QString>

// The demo vehicles and the landmarks of the demo town, written into a new database.
namespace kestrova {

// Adds eight vehicles (all four vehicle styles, six flagged for calling) and the town's landmarks.
void FillDemoData(const QString& databasePath);

} // namespace kestrova
