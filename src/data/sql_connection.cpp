#include "data/sql_connection.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace kestrova {

namespace {

constexpr int kProbeLockWaitMs = 2000;

[[noreturn]] void throwDatabaseError(const QString& path, const QString& message) {
    throw RuntimeError(FileErrorText(path, message));
}

[[noreturn]] void throwSqlite(const QString& path, sqlite3* db) {
    throwDatabaseError(path, QString::fromUtf8(sqlite3_errmsg(db)));
}

QString literal(const SqlValue& value) {
    struct Writer {
        QString operator()(std::monostate) const { return QStringLiteral("NULL"); }
        QString operator()(const QString& text) const { return u'\'' + EscapeSql(text) + u'\''; }
        QString operator()(qint64 number) const { return QString::number(number); }
        QString operator()(double number) const { return NumberText(number); }
        QString operator()(float number) const { return NumberText(number); }
    };
    return std::visit(Writer{}, value);
}

} // namespace

QString RenderSql(const QString& sql, std::span<const SqlValue> values) {
    QString out;
    out.reserve(sql.size() + 16 * static_cast<qsizetype>(values.size()));
    std::size_t next = 0;
    bool inQuotes = false;
    for (const QChar c : sql) {
        if (c == u'\'') {
            inQuotes = !inQuotes;
        }
        if (c == u'?' && !inQuotes && next < values.size()) {
            out += literal(values[next++]);
        } else {
            out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------

SqlStatement::SqlStatement(sqlite3* db, const QString& path, const QString& sql) : m_db(db), m_path(path) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        throwSqlite(m_path, m_db);
    }
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(m_stmt);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path)),
      m_stmt(std::exchange(other.m_stmt, nullptr)) {}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

void SqlStatement::fail() const {
    throwSqlite(m_path, m_db);
}

void SqlStatement::bindAll(std::span<const SqlValue> values) {
    int index = 1;
    for (const SqlValue& value : values) {
        int rc = SQLITE_OK;
        if (const auto* text = std::get_if<QString>(&value)) {
            const QByteArray utf8 = text->toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        } else if (const auto* integer = std::get_if<qint64>(&value)) {
            rc = sqlite3_bind_int64(m_stmt, index, *integer);
        } else if (const auto* real = std::get_if<double>(&value)) {
            rc = sqlite3_bind_double(m_stmt, index, *real);
        } else if (const auto* single = std::get_if<float>(&value)) {
            rc = sqlite3_bind_double(m_stmt, index, static_cast<double>(*single));
        } else {
            rc = sqlite3_bind_null(m_stmt, index);
        }
        if (rc != SQLITE_OK) {
            fail();
        }
        ++index;
    }
}

bool SqlStatement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    // The statement's own error is reported by errmsg once it has been reset.
    sqlite3_reset(m_stmt);
    fail();
}

void SqlStatement::reset() {
    sqlite3_reset(m_stmt);
}

int SqlStatement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString SqlStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString SqlStatement::declaredType(int column) const {
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, column));
}

bool SqlStatement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString SqlStatement::text(int column) const {
    return QString::fromUtf8(utf8(column));
}

QByteArrayView SqlStatement::utf8(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(bytes, sqlite3_column_bytes(m_stmt, column));
}

qint64 SqlStatement::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double SqlStatement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

FieldValue SqlStatement::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return integer(column);
    case SQLITE_FLOAT:
        return real(column);
    case SQLITE_NULL:
        return {};
    default:
        return text(column);
    }
}

// ---------------------------------------------------------------------------------------------------

SqlConnection::~SqlConnection() {
    // Destruction cannot report a failure; close_v2 finishes the close once stray statements go.
    sqlite3_close_v2(m_db);
}

SqlConnection::SqlConnection(SqlConnection&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path)) {}

SqlConnection& SqlConnection::operator=(SqlConnection&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(m_db);
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
    }
    return *this;
}

void SqlConnection::open(const QString& path, const QByteArray& key, OpenMode mode) {
    // One thread uses a connection and its statements, so SQLite need not lock them at every call (the
    // track query reads a dozen columns of thousands of rows).
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateNew) {
        flags |= SQLITE_OPEN_CREATE;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throwDatabaseError(path, message);
    }
    SqlConnection keyed;
    keyed.m_db = db;
    keyed.m_path = path;
    // A file without write permission is opened for reading only. Refused before its first read, which
    // would leave the write-ahead log's files behind, made as unwritable as the file.
    if (sqlite3_db_readonly(db, "main") == 1) {
        throwDatabaseError(path, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
    }
    QByteArray quotedKey = key;
    quotedKey.replace('\'', "''");
    keyed.execute(QStringLiteral("PRAGMA key='%1'").arg(QString::fromUtf8(quotedKey)));
    // The key is only tried when a page is first read: read the schema now so that a wrong key fails
    // at the open and not at some later statement.
    keyed.execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    // An empty file would pass as a database without tables.
    if (mode == OpenMode::ExistingOnly && keyed.pageCount() == 0) {
        throwDatabaseError(path, QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB)));
    }
    // A folder that lets no journal be made would fail the first write, so the first write is tried
    // here and undone. Another connection's write may hold the lock for a moment.
    sqlite3_busy_timeout(db, kProbeLockWaitMs);
    {
        // Never committed: the probe is rolled back when it ends.
        const SqlTransaction probe(keyed);
        keyed.execute(QStringLiteral("PRAGMA user_version=0"));
    }
    sqlite3_busy_timeout(db, 0);
    *this = std::move(keyed);
}

void SqlConnection::close() {
    if (m_db == nullptr) {
        return;
    }
    if (sqlite3_close(m_db) != SQLITE_OK) {
        fail();
    }
    m_db = nullptr;
}

sqlite3* SqlConnection::handle() const {
    if (m_db == nullptr) {
        throw RuntimeError(QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE)));
    }
    return m_db;
}

void SqlConnection::execute(const QString& sql) {
    sqlite3* db = handle();
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message != nullptr ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(message);
        throwDatabaseError(m_path, text);
    }
}

SqlStatement SqlConnection::prepare(const QString& sql) {
    return SqlStatement(handle(), m_path, sql);
}

void SqlConnection::run(const QString& sql, std::span<const SqlValue> values) {
    SqlStatement statement = prepare(sql);
    statement.bindAll(values);
    while (statement.step()) {
    }
}

int SqlConnection::changes() const {
    return sqlite3_changes(handle());
}

qint64 SqlConnection::pageCount() {
    SqlStatement count = prepare(QStringLiteral("PRAGMA page_count"));
    return count.step() ? count.integer(0) : 0;
}

bool SqlConnection::inTransaction() const {
    return sqlite3_get_autocommit(handle()) == 0;
}

void SqlConnection::fail() const {
    throwSqlite(m_path, m_db);
}

SqlTransaction::SqlTransaction(SqlConnection& connection) : m_connection(connection) {
    m_connection.execute(QStringLiteral("BEGIN"));
}

SqlTransaction::~SqlTransaction() {
    // A failed COMMIT may have ended the transaction itself.
    if (m_open && m_connection.isOpen() && m_connection.inTransaction()) {
        try {
            m_connection.execute(QStringLiteral("ROLLBACK"));
        } catch (const RuntimeError&) {
            // The error that ended the transaction early is the one reported.
        }
    }
}

void SqlTransaction::commit() {
    m_connection.execute(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace kestrova
