#pragma once

// The full position log that the database and track benchmarks share: 1,000 terminals with 5,000 rows
// each (5 million rows, one fix every ten minutes for about 35 days from 2024/01/01) and 10,000 vehicles,
// built once per benchmark program in a temporary folder. Also per-iteration times for medians.

#include "data/db_lib.h"
#include "data/records.h"
#include "data/schema.h"
#include "data/sql_connection.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
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

inline QString DbTimeOf(int fix) {
    return kFirstFix.addSecs(qint64(fix) * kSecondsBetweenFixes).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

inline QString TerminalOf(int terminal) {
    return QStringLiteral("09%1").arg(terminal, 8, 10, QChar(u'0'));
}

class LogDatabase {
public:
    static LogDatabase& instance() {
        static LogDatabase database;
        return database;
    }

private:
    QTemporaryDir m_folder; // first: it outlives the connection

public:
    clsDBLib db;
    // Per terminal, the index of its oldest and newest fix still stored.
    std::vector<int> oldest = std::vector<int>(kTerminals, 0);
    std::vector<int> newest = std::vector<int>(kTerminals, kRowsPerTerminal - 1);

private:
    LogDatabase() {
        const auto start = std::chrono::steady_clock::now();
        const QString path = DatabasePath(m_folder.path());
        CreateDatabase(path);
        fill(path);
        db.OpenConnection(path);
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "built %d log rows and %d vehicles in %.1f s\n", kTerminals * kRowsPerTerminal, kVehicles,
                     seconds);
    }

    // One transaction with prepared inserts, in key order so the index grows at its end.
    static void fill(const QString& path) {
        SqlConnection connection;
        connection.open(path, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
        connection.execute(QStringLiteral("PRAGMA cache_size=-262144; BEGIN"));
        fillLog(connection);
        fillVehicles(connection);
        connection.execute(QStringLiteral("COMMIT"));
        connection.close();
    }

    static void fillLog(SqlConnection& connection) {
        std::vector<QString> times;
        for (int fix = 0; fix < kRowsPerTerminal; ++fix) {
            times.push_back(DbTimeOf(fix));
        }
        const QString realTime = kCheckRealTime;
        const QString place = QStringLiteral("凱斯特市松濤區河濱路一段");
        SqlStatement insert =
            connection.prepare(QStringLiteral("INSERT INTO CommLog VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (int terminal = 0; terminal < kTerminals; ++terminal) {
            const QString key = TerminalOf(terminal);
            for (int fix = 0; fix < kRowsPerTerminal; ++fix) {
                const SqlValue row[] = {key,
                                        times[fix],
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
                                    DbTimeOf(v % kRowsPerTerminal),
                                    realTime,
                                    kEastLongitude,
                                    kNorthLatitude};
            vehicle.reset();
            vehicle.bindAll(row);
            vehicle.step();
        }
    }
};

} // namespace kestrova::bench
