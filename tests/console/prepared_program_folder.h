#pragma once

#include "data/db_lib.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <utility>

// A program folder for tests that run the whole window: the build's demo map and pictures linked in, an
// image folder, and a new database with the vehicles KS-201 to KS-203 (terminals 0912000201 to 203,
// flagged for calling). Call it inside ASSERT_NO_FATAL_FAILURE.
namespace kestrova::test {

inline void PrepareProgramFolder(const QString& path) {
    const QDir build(QStringLiteral(KESTROVA_BINARY_DIR "/kestrova"));
    const QDir folder(path);
    for (const char* name : {"nv5", "carimage", "icons"}) {
        ASSERT_TRUE(build.exists(QLatin1String(name)))
            << name << " is missing from the build's program folder: build demo_map and program_images";
        ASSERT_TRUE(QFile::link(build.filePath(QLatin1String(name)), folder.filePath(name)));
    }
    ASSERT_TRUE(folder.mkpath(QStringLiteral("image")));

    CreateDatabase(DatabasePath(path));
    clsDBLib db;
    db.OpenConnection(DatabasePath(path));
    for (const auto& [plate, phone] : {std::pair{"KS-201", "0912000201"}, std::pair{"KS-202", "0912000202"},
                                       std::pair{"KS-203", "0912000203"}}) {
        db.InsertVehicle(0, plate, phone, QString(), QString(), QString(), QString(), QString(), QString(), "N", "N",
                         1, true, QString());
    }
    db.CloseConnection();
}

} // namespace kestrova::test
