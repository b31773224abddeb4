#pragma once

#include "data/field_value.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <initializer_list>
#include <span>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

// A thin owner of one SQLCipher connection and its prepared statements. Every failure is thrown as a
// RuntimeError carrying the database file's path and SQLite's own message ("<path>: <message>"), so the
// callers' handlers show which file said what.
namespace kestrova {

// A value bound to a statement parameter. A float is stored as the double it widens to and written as
// a Single in statement texts.
using SqlValue = std::variant<std::monostate, QString, qint64, double, float>;

// The statement text with every "?" outside quotes replaced by its value written as an SQL literal
// (texts quoted with their quotes doubled, numbers in their default text form). Used for strSQL.
QString RenderSql(const QString& sql, std::span<const SqlValue> values);

// One prepared statement. Move-only; it must not outlive its connection.
class SqlStatement {
public:
    // path names the database file in error texts.
    SqlStatement(sqlite3* db, const QString& path, const QString& sql);
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Binds parameter 1, 2, ... in order.
    void bindAll(std::span<const SqlValue> values);
    // Runs one step: true when a row is current, false when the statement is done.
    bool step();
    // Makes the statement ready to run again; bindings are kept.
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    // The column's declared type in its table, "" for an expression.
    QString declaredType(int column) const;

    // The current row's values. Text of a Null is ""; the numeric readers apply SQLite's conversions.
    bool isNull(int column) const;
    QString text(int column) const;
    // The column's UTF-8 bytes as SQLite holds them, valid until the next step.
    QByteArrayView utf8(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // The value in its stored class: Null, integer, double or text (a blob is read as UTF-8 text).
    FieldValue value(int column) const;

private:
    [[noreturn]] void fail() const;

    sqlite3* m_db = nullptr;
    QString m_path;
    sqlite3_stmt* m_stmt = nullptr;
};

// One connection to a keyed database file.
class SqlConnection {
public:
    enum class OpenMode {
        ExistingOnly, // a missing file is an error and is not created
        CreateNew,    // the file is created when missing (an empty file counts as a new database)
    };

    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(SqlConnection&& other) noexcept;
    SqlConnection& operator=(SqlConnection&& other) noexcept;
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Opens the file read-write, keys it and reads its schema, so that a wrong key or a file that is
    // not a database (an empty one too, unless mode is CreateNew) fails here with "file is encrypted or
    // is not a database". A file that could only be
    // opened for reading, or whose folder lets no journal be written, fails here too, with "attempt to
    // write a readonly database", rather than at its first write.
    void open(const QString& path, const QByteArray& key, OpenMode mode);
    // Closes the connection; every statement must have been destroyed.
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Runs one or more statements without parameters (schema, pragmas, transactions).
    void execute(const QString& sql);
    SqlStatement prepare(const QString& sql);
    // Prepares, binds and runs a statement that returns no rows.
    void run(const QString& sql, std::span<const SqlValue> values);
    void run(const QString& sql, std::initializer_list<SqlValue> values) {
        run(sql, std::span<const SqlValue>(values.begin(), values.size()));
    }
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    // A transaction begun by BEGIN (or SAVEPOINT) is still open.
    bool inTransaction() const;

private:
    sqlite3* handle() const;
    [[noreturn]] void fail() const;
    qint64 pageCount();

    sqlite3* m_db = nullptr;
    QString m_path;
};

// A transaction on an open connection, begun when made: what runs until commit() reaches the file
// together, with one sync, and a crash or an error on the way leaves the file as it was. Ended without
// commit(), it is rolled back.
class SqlTransaction {
public:
    explicit SqlTransaction(SqlConnection& connection);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    void commit();

private:
    SqlConnection& m_connection;
    bool m_open = true;
};

} // namespace kestrova
