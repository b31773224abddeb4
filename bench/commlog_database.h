#pragma once

// The full position log that the database and track benchmarks share: 1,000 terminals with 5,000 rows
// each (5 million rows, one fix every ten minutes for about 35 days from 2024/01/01) and 10,000 vehicles,
// built once per benchmark program in a temporary folder. The rows go in as the call cycle writes them:
// round after round through the terminals, times ascending, so one terminal's rows lie far apart in the
// file. Also per-iteration times for medians.

#include "data/db_lib.h"
#include "data/records.h"
#include "data/schema.h"
#include "data/sql_connection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace kestrova::bench {

inline constexpr int kTerminals = 1000;
inline constexpr int kRowsPerTerminal = 5000;
inline constexpr int kVehicles = 10000;
inline constexpr int kSecondsBetweenFixes = 600;

// Per-iteration wall times, so that the median of single operations is reported next to the mean
// (a checkpoint of the write-ahead log now and then lengthens the mean, not the typical call).
class IterationTimes {
public:
    void start() { m_start = std::chrono::steady_clock::now(); }
    void stop() {
        m_times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count());
    }
    void report(benchmark::State& state) {
        if (m_times.empty()) {
            return;
        }
        std::sort(m_times.begin(), m_times.end());
        state.counters["median_ms"] = m_times[m_times.size() / 2];
        state.counters["p90_ms"] = m_times[m_times.size() * 9 / 10];
    }

private:
    std::chrono::steady_clock::time_point m_start;
    std::vector<double> m_times;
};

inline const QDateTime kFirstFix(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);

inline QString DbTimeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

// The time of a terminal's fix. A round of calls takes the ten minutes between fixes and reaches the
// terminals in turn, so a fix keeps to its day and every day holds 144 fixes of each terminal.
inline QString DbTimeOf(int terminal, int fix) {
    return DbTimeText(
        kFirstFix.addSecs(qint64(fix) * kSecondsBetweenFixes + qint64(terminal) * kSecondsBetweenFixes / kTerminals));
}

inline QString TerminalOf(int terminal) {
    return QStringLiteral("09%1").arg(terminal, 8, 10, QChar(u'0'));
}

inline double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Ends a benchmark program that cannot build its data.
[[noreturn]] inline void Fail(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::exit(1);
}

// A copy of a database file in a folder of its own, removed with the object.
class DatabaseCopy {
public:
    explicit DatabaseCopy(const QString& source) {
        if (!QDir().mkpath(QFileInfo(path).path()) || !QFile::copy(source, path)) {
            Fail(QStringLiteral("cannot copy %1 to %2").arg(source, path));
        }
    }
    QTemporaryDir folder;
    QString path = DatabasePath(folder.path());
};

// How the log file keeps CommLog: as this build makes it, or as earlier builds made it (indexed on
// terminal and time only), for the upgrade at its first open.
enum class LogStorage { Current, EarlierBuild };

// The log file as built; nothing writes it afterwards.
class LogFile {
public:
    static const QString& path(LogStorage storage = LogStorage::Current) {
        if (storage == LogStorage::EarlierBuild) {
            static const LogFile earlier(storage);
            return earlier.m_path;
        }
        static const LogFile current(storage);
        return current.m_path;
    }

private:
    explicit LogFile(LogStorage storage) {
        const auto start = std::chrono::steady_clock::now();
        CreateDatabase(m_path);
        SqlConnection connection;
        connection.open(m_path, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
        if (storage == LogStorage::EarlierBuild) {
            connection.execute(
                QStringLiteral("DROP INDEX CommLog_Track; "
                               "CREATE INDEX CommLog_PlateNumber_DialTime ON CommLog (PlateNumber, DialTime)"));
        }
        // One transaction with prepared inserts.
        connection.execute(QStringLiteral("PRAGMA cache_size=-262144; BEGIN"));
        fillLog(connection);
        fillVehicles(connection);
        connection.execute(QStringLiteral("COMMIT"));
        // The last connection's close moves the write-ahead log into the file, which may then be copied.
        connection.close();
        std::fprintf(stderr, "built %d log rows in call order and %d vehicles%s in %.1f s: %lld MB\n",
                     kTerminals * kRowsPerTerminal, kVehicles,
                     storage == LogStorage::EarlierBuild ? " as earlier builds kept them" : "", Seconds(start),
                     QFileInfo(m_path).size() / (1024 * 1024));
    }

    static void fillLog(SqlConnection& connection) {
        const QString realTime = kCheckRealTime;
        const QString place = QStringLiteral("凱斯特市松濤區河濱路一段");
        SqlStatement insert =
            connection.prepare(QStringLiteral("INSERT INTO CommLog VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (int fix = 0; fix < kRowsPerTerminal; ++fix) {
            for (int terminal = 0; terminal < kTerminals; ++terminal) {
                const SqlValue row[] = {TerminalOf(terminal),
                                        DbTimeOf(terminal, fix),
                                        realTime,
                                        kEastLongitude,
                                        121.5 + (terminal % 100) * 0.001 + (fix % 50) * 0.0001,
                                        kNorthLatitude,
                                        25.0 + (terminal / 100) * 0.001 + (fix % 40) * 0.0001,
                                        float(fix % 90) + (fix % 2 ? 0.5f : 0.0f),
                                        float((fix * 7) % 360),
                                        float(fix % 500) * 1.25f,
                                        kHealthyNew,
                                        place};
                insert.reset();
                insert.bindAll(row);
                insert.step();
            }
        }
    }

    static void fillVehicles(SqlConnection& connection) {
        const QString realTime = kCheckRealTime;
        SqlStatement vehicle = connection.prepare(QStringLiteral(
            "INSERT INTO Vehicle (PlateNumber,PhoneNumber,CarBrand,DriveName,TelNumber1,TelNumber2,MobileNumber1,"
            "MobileNumber2,StrCaution,EndCaution,CarType,Dial,DialTime,CheckPoint,EW,X,NS,Y,Speed,Direction,Offset,"
            "Healthy,Address) VALUES (?,?,'ABC-1234','王大明','02-27201001','','0933100101','','N','N',?,1,?,?,?,"
            "121.56,?,25.03,42.5,90,12.5,'00000','')"));
        for (int v = 0; v < kVehicles; ++v) {
            const SqlValue row[] = {QStringLiteral("V%1").arg(v, 5, 10, QChar(u'0')),
                                    TerminalOf(v),
                                    qint64(v % 4),
                                    DbTimeOf(v % kTerminals, v % kRowsPerTerminal),
                                    realTime,
                                    kEastLongitude,
                                    kNorthLatitude};
            vehicle.reset();
            vehicle.bindAll(row);
            vehicle.step();
        }
    }

    QTemporaryDir m_folder;
    QString m_path = DatabasePath(m_folder.path());
};

// The console's connection to the log: shared() on the built file for the cases that only read, or a
// copy of the file of its own for a case that writes, so that no case sees another case's changes.
class LogDatabase {
public:
    static LogDatabase& shared() {
        static LogDatabase database(LogFile::path());
        return database;
    }
    static std::unique_ptr<LogDatabase> copy() {
        auto file = std::make_unique<DatabaseCopy>(LogFile::path());
        const QString path = file->path;
        return std::unique_ptr<LogDatabase>(new LogDatabase(path, std::move(file)));
    }

private:
    std::unique_ptr<DatabaseCopy> m_copy; // first: it outlives the connection

public:
    clsDBLib db;
    // Per terminal, the index of its oldest and newest fix still stored.
    std::vector<int> oldest = std::vector<int>(kTerminals, 0);
    std::vector<int> newest = std::vector<int>(kTerminals, kRowsPerTerminal - 1);

private:
    explicit LogDatabase(const QString& path, std::unique_ptr<DatabaseCopy> copy = nullptr) : m_copy(std::move(copy)) {
        db.OpenConnection(path);
    }
};

} // namespace kestrova::bench
