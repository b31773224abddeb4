// kestrova-newdb: creates a new, empty console database (database/Kestrova.mdb) in a program folder,
// optionally with the demo vehicles and landmarks. An existing database is never overwritten.

#include "data/db_lib.h"
#include "data/schema.h"
#include "demo_data.h"
#include "startup/runtime_error.h"

#include <QFile>
#include <QString>
#include <cstdio>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kestrova-newdb [--demo] PROGRAM_FOLDER\n"
                         "Creates PROGRAM_FOLDER/database/Kestrova.mdb with empty tables;\n"
                         "--demo adds demo vehicles and the demo town's landmarks.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool demo = false;
    QString folder;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--demo")) {
            demo = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            Usage();
            return 0;
        } else if (arg.startsWith(u'-') || !folder.isEmpty()) {
            return Usage();
        } else {
            folder = arg;
        }
    }
    if (folder.isEmpty()) {
        return Usage();
    }
    const QString path = kestrova::DatabasePath(folder);
    try {
        kestrova::CreateDatabase(path);
    } catch (const kestrova::RuntimeError& e) {
        std::fprintf(stderr, "kestrova-newdb: %s\n", e.text().toLocal8Bit().constData());
        return 1;
    }
    if (demo) {
        try {
            kestrova::FillDemoData(path);
        } catch (const kestrova::RuntimeError& e) {
            // A half-filled demo database would only be refused at the next try.
            for (const char* suffix : {"", "-wal", "-shm"}) {
                QFile::remove(path + QLatin1String(suffix));
            }
            std::fprintf(stderr, "kestrova-newdb: %s\n", e.text().toLocal8Bit().constData());
            return 1;
        }
    }
    std::printf("created %s%s\n", path.toLocal8Bit().constData(), demo ? " with demo data" : "");
    return 0;
}
