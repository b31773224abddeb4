#include "data/db_lib.h"

#include "data/data_errors.h"
#include "data/schema.h"
#include "data/track_columns.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <optional>

namespace kestrova {

namespace {

const QString kVehicleColumns =
    QStringLiteral("SeqNO,PlateNumber,PhoneNumber,CarBrand,DriveName,TelNumber1,TelNumber2,MobileNumber1,MobileNumber2,"
                   "StrCaution,EndCaution,CarType,Dial,DialTime,CheckPoint,EW,X,NS,Y,Speed,Direction,Offset,Healthy");

// T(v): the value without leading and trailing blanks (other white space is kept). Quotes stay as they
// are: values are bound, not spliced into the statement.
QString T(const QString& value) {
    return Trim(value);
}

qint64 Flag(bool value) {
    return value ? 1 : 0;
}

// Round(Offset, 2), half to even, judged on the Single's own decimal form (12.125 gives 12.12).
float RoundedOffset(float offset) {
    if (!std::isfinite(offset)) {
        return offset;
    }
    return SingleFromDouble(Round(NumberText(offset).toDouble(), 2));
}

// Readers of the current row of a walk or a query.
QString TextOf(const SqlStatement& row, int column) {
    return row.isNull(column) ? QString() : row.text(column);
}

double NumberOf(const SqlStatement& row, int column) {
    if (row.isNull(column)) {
        throw RuntimeError(kInvalidUseOfNull);
    }
    return row.real(column);
}

FieldValue TextField(const SqlStatement& row, int column) {
    return row.isNull(column) ? FieldValue() : FieldValue(row.text(column));
}

FieldValue DoubleField(const SqlStatement& row, int column) {
    return row.isNull(column) ? FieldValue() : FieldValue(row.real(column));
}

FieldValue SingleField(const SqlStatement& row, int column) {
    return row.isNull(column) ? FieldValue() : FieldValue(SingleFromDouble(row.real(column)));
}

template <typename Value> FieldValue Optional(const std::optional<Value>& value) {
    return value ? FieldValue(*value) : FieldValue();
}

// One text column over the rows of a query: a value equal to the row before's is the same shared string.
// A track's rows mostly repeat their terminal, hemispheres, check point and call history, and thousands
// of rows then need no new string for them.
class RepeatedText {
public:
    FieldValue field(const SqlStatement& row, int column) {
        if (row.isNull(column)) {
            return FieldValue();
        }
        const QByteArrayView bytes = row.utf8(column);
        if (!m_text || bytes != QByteArrayView(m_bytes)) {
            m_bytes = bytes.toByteArray();
            m_text = QString::fromUtf8(m_bytes);
        }
        return FieldValue(*m_text);
    }

private:
    QByteArray m_bytes;
    std::optional<QString> m_text;
};

// A column computed from one number: the same number as in the row before (to the bit) gives the same
// shared result.
template <typename Input> class RepeatedResult {
public:
    template <typename Compute> FieldValue field(const FieldValue& input, Compute compute) {
        const bool null = TypeOf(input) == FieldType::Null;
        const Input value = null ? Input() : std::get<Input>(input);
        if (!m_result || null != m_null || std::memcmp(&value, &m_value, sizeof value) != 0) {
            m_null = null;
            m_value = value;
            m_result = null ? FieldValue() : compute(value);
        }
        return *m_result;
    }
    void forget() { m_result.reset(); }

private:
    bool m_null = false;
    Input m_value = Input();
    std::optional<FieldValue> m_result;
};

FieldType AffinityOf(const QString& declaredType) {
    const QString type = declaredType.toUpper();
    if (type.contains(u"INT")) {
        return FieldType::Integer;
    }
    if (type.contains(u"CHAR") || type.contains(u"CLOB") || type.contains(u"TEXT")) {
        return FieldType::Text;
    }
    if (type.isEmpty() || type.contains(u"BLOB")) {
        return FieldType::Null;
    }
    return FieldType::Double;
}

} // namespace

QString DatabasePath(const QString& programFolder) {
    return programFolder + QStringLiteral("/database/Kestrova.mdb");
}

clsDBLib::~clsDBLib() {
    m_rs.reset();
    try {
        m_cn.close();
    } catch (const RuntimeError&) {
        // Nothing can report it at destruction; the connection's own destructor releases it.
    }
}

void clsDBLib::requireOpen() const {
    if (!m_cn.isOpen()) {
        throw RuntimeError(kConnectionClosed);
    }
}

void clsDBLib::execute(const QString& sql, std::initializer_list<SqlValue> values) {
    requireOpen();
    const std::span<const SqlValue> bound(values.begin(), values.size());
    m_strSQL = RenderSql(sql, bound);
    m_cn.run(sql, bound);
}

void clsDBLib::OpenConnection(const QString& DataSource) {
    if (m_cn.isOpen()) {
        throw RuntimeError(kConnectionOpen);
    }
    SqlConnection connection;
    connection.open(DataSource, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    // A row is on disk when its statement returns.
    connection.execute(QStringLiteral("PRAGMA synchronous=FULL"));
    UpgradeDatabase(connection);
    m_cn = std::move(connection);
}

void clsDBLib::CloseConnection() {
    requireOpen();
    m_rs.reset();
    m_cn.close();
}

void clsDBLib::InsertVehicle(int16_t /*SeqNO*/, const QString& PlateNumber, const QString& PhoneNumber,
                             const QString& CarBrand, const QString& DriveName, const QString& TelNumber1,
                             const QString& TelNumber2, const QString& MobileNumber1, const QString& MobileNumber2,
                             const QString& StrCaution, const QString& EndCaution, int16_t CarType, bool Dial,
                             const QString& /*Address*/) {
    execute(QStringLiteral("INSERT INTO Vehicle (Platenumber,PhoneNumber,CarBrand,DriveName,TelNumber1,TelNumber2,"
                           "MobileNumber1,MobileNumber2,StrCaution,EndCaution,CarType,Dial,DialTime,CheckPoint,EW,X,"
                           "NS,Y,Speed,Direction,Offset,Healthy,Address) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,'','','',0,'',0,0,0,0,'00000','')"),
            {T(PlateNumber), T(PhoneNumber), T(CarBrand), T(DriveName), T(TelNumber1), T(TelNumber2), T(MobileNumber1),
             T(MobileNumber2), T(StrCaution), T(EndCaution), qint64(CarType), Flag(Dial)});
}

void clsDBLib::UpdateVehicle(int16_t /*SeqNO*/, const QString& PlateNumber, const QString& PhoneNumber,
                             const QString& CarBrand, const QString& DriveName, const QString& TelNumber1,
                             const QString& TelNumber2, const QString& MobileNumber1, const QString& MobileNumber2,
                             const QString& StrCaution, const QString& EndCaution, int16_t CarType, bool Dial,
                             const QString& DialTime, const QString& CheckPoint, const QString& EW, double X,
                             const QString& NS, double Y, float Speed, float Direction, float Offset,
                             const QString& Healthy) {
    const float offset = RoundedOffset(Offset);
    execute(QStringLiteral("UPDATE Vehicle SET PlateNumber=?,CarBrand=?,DriveName=?,TelNumber1=?,TelNumber2=?,"
                           "MobileNumber1=?,MobileNumber2=?,StrCaution=?,EndCaution=?,CarType=?,Dial=?,DialTime=?,"
                           "CheckPoint=?,EW=?,X=?,NS=?,Y=?,Speed=?,Direction=?,Offset=?,Healthy=? "
                           "WHERE PhoneNumber=?"),
            {T(PlateNumber),
             T(CarBrand),
             T(DriveName),
             T(TelNumber1),
             T(TelNumber2),
             T(MobileNumber1),
             T(MobileNumber2),
             T(StrCaution),
             T(EndCaution),
             qint64(CarType),
             Flag(Dial),
             T(DialTime),
             T(CheckPoint),
             T(EW),
             X,
             T(NS),
             Y,
             Speed,
             Direction,
             offset,
             T(Healthy),
             T(PhoneNumber)});
}

void clsDBLib::DeleteVehicle(const QString& PlateNumber) {
    requireOpen();
    const QString plate = T(PlateNumber);
    // Both deletes or neither: a vehicle must not outlive its log rows, nor lose them and stay.
    m_cn.execute(QStringLiteral("SAVEPOINT DeleteVehicle"));
    try {
        // The terminal numbers are read while the vehicle rows still exist.
        execute(QStringLiteral("DELETE FROM CommLog WHERE PlateNumber IN "
                               "(SELECT trim(PhoneNumber) FROM Vehicle WHERE PlateNumber=?)"),
                {plate});
        execute(QStringLiteral("DELETE FROM Vehicle WHERE PlateNumber=?"), {plate});
        m_cn.execute(QStringLiteral("RELEASE DeleteVehicle"));
    } catch (const RuntimeError&) {
        m_cn.execute(QStringLiteral("ROLLBACK TO DeleteVehicle; RELEASE DeleteVehicle"));
        throw;
    }
}

void clsDBLib::OpenVehicleRecordset() {
    requireOpen();
    m_strSQL = QStringLiteral("SELECT %1 FROM Vehicle ORDER BY PlateNumber").arg(kVehicleColumns);
    SqlStatement statement = m_cn.prepare(m_strSQL);
    const bool atEnd = !statement.step();
    m_rs.emplace(Walk{WalkKind::Vehicle, std::move(statement), atEnd});
}

void clsDBLib::OpenCoordinateRecordset() {
    requireOpen();
    m_strSQL = QStringLiteral("SELECT SeqNO,X,Y,Kind,Explanation FROM Coordinate");
    SqlStatement statement = m_cn.prepare(m_strSQL);
    const bool atEnd = !statement.step();
    m_rs.emplace(Walk{WalkKind::Coordinate, std::move(statement), atEnd});
}

clsDBLib::Walk& clsDBLib::requireWalk(WalkKind kind) {
    if (!m_rs) {
        throw RuntimeError(kNoRecordset);
    }
    if (m_rs->kind != kind) {
        // The open walk's rows lack the fields asked for.
        throw RuntimeError(kItemNotFound);
    }
    return *m_rs;
}

bool clsDBLib::FetchVehicleRecord(int16_t& SeqNO, QString& PlateNumber, QString& PhoneNumber, QString& CarBrand,
                                  QString& DriveName, QString& TelNumber1, QString& TelNumber2, QString& MobileNumber1,
                                  QString& MobileNumber2, QString& StrCaution, QString& EndCaution, int16_t& CarType,
                                  bool& Dial, QString& DialTime, QString& CheckPoint, QString& EW, double& X,
                                  QString& NS, double& Y, float& Speed, float& Direction, float& Offset,
                                  QString& Healthy) {
    Walk& walk = requireWalk(WalkKind::Vehicle);
    if (walk.atEnd) {
        return false;
    }
    const SqlStatement& row = walk.statement;
    // Everything is read before anything is assigned, so a failing row leaves the arguments as they were.
    const int16_t seqNo = CInt(NumberOf(row, 0));
    QString texts[10];
    for (int i = 0; i < 10; ++i) {
        texts[i] = T(TextOf(row, 1 + i));
    }
    const int16_t carType = CInt(NumberOf(row, 11));
    const bool dial = NumberOf(row, 12) != 0;
    QString dialTime = TextOf(row, 13);
    QString checkPoint = TextOf(row, 14);
    QString ew = T(TextOf(row, 15));
    const double x = NumberOf(row, 16);
    QString ns = T(TextOf(row, 17));
    const double y = NumberOf(row, 18);
    const float speed = SingleFromDouble(NumberOf(row, 19));
    const float direction = SingleFromDouble(NumberOf(row, 20));
    const float offset = SingleFromDouble(NumberOf(row, 21));
    QString healthy = T(TextOf(row, 22));
    walk.atEnd = !walk.statement.step();

    SeqNO = seqNo;
    PlateNumber = std::move(texts[0]);
    PhoneNumber = std::move(texts[1]);
    CarBrand = std::move(texts[2]);
    DriveName = std::move(texts[3]);
    TelNumber1 = std::move(texts[4]);
    TelNumber2 = std::move(texts[5]);
    MobileNumber1 = std::move(texts[6]);
    MobileNumber2 = std::move(texts[7]);
    StrCaution = std::move(texts[8]);
    EndCaution = std::move(texts[9]);
    CarType = carType;
    Dial = dial;
    DialTime = std::move(dialTime);
    CheckPoint = std::move(checkPoint);
    EW = std::move(ew);
    X = x;
    NS = std::move(ns);
    Y = y;
    Speed = speed;
    Direction = direction;
    Offset = offset;
    Healthy = std::move(healthy);
    return true;
}

bool clsDBLib::FetchCoordinateRecord(int16_t& SeqNO, double& X, double& Y, QString& Kind, QString& Explanation) {
    Walk& walk = requireWalk(WalkKind::Coordinate);
    if (walk.atEnd) {
        return false;
    }
    const SqlStatement& row = walk.statement;
    const int16_t seqNo = CInt(NumberOf(row, 0));
    const double x = NumberOf(row, 1);
    const double y = NumberOf(row, 2);
    QString kind = T(TextOf(row, 3));
    QString explanation = T(TextOf(row, 4));
    walk.atEnd = !walk.statement.step();

    SeqNO = seqNo;
    X = x;
    Y = y;
    Kind = std::move(kind);
    Explanation = std::move(explanation);
    return true;
}

void clsDBLib::CloseVehicleRecordset() {
    if (!m_rs) {
        throw RuntimeError(kNoRecordset);
    }
    m_rs.reset();
}

void clsDBLib::InsertCommLog(const QString& PlateNumber, const QString& DialTime, const QString& CheckPoint,
                             const QString& EW, double X, const QString& NS, double Y, float Speed, float Direction,
                             float Offset, const QString& Healthy, const QString& Position) {
    // Rows go in by position: the columns are in the table's physical order.
    execute(QStringLiteral("INSERT INTO CommLog VALUES (?,?,?,?,?,?,?,?,?,?,?,? )"),
            {T(PlateNumber), T(DialTime), T(CheckPoint), T(EW), X, T(NS), Y, Speed, Direction, RoundedOffset(Offset),
             T(Healthy), T(Position)});
}

SqlTransaction clsDBLib::BeginTransaction() {
    requireOpen();
    return SqlTransaction(m_cn);
}

void clsDBLib::DeleteCommLog(const QString& PlateNumber, const QString& DialTime) {
    execute(QStringLiteral("DELETE FROM CommLog WHERE PlateNumber=? AND DialTime<=?"), {PlateNumber, DialTime});
}

namespace {

// The index gives the rows of one second (reports that arrived together) in the order of their other
// columns; each run of them goes back to the order of logging, their rowids. Sorted run by run, so that a
// log with many rows in one second costs no more than a sort.
void RestoreLoggedOrder(std::vector<ResultSet::Row>& rows, const std::vector<qint64>& logged, std::size_t timeCell) {
    std::size_t first = 0;
    while (first < rows.size()) {
        std::size_t end = first + 1;
        while (end < rows.size() && rows[end][timeCell] == rows[first][timeCell]) {
            ++end;
        }
        if (!std::is_sorted(logged.begin() + static_cast<std::ptrdiff_t>(first),
                            logged.begin() + static_cast<std::ptrdiff_t>(end))) {
            std::vector<std::size_t> order(end - first);
            std::iota(order.begin(), order.end(), first);
            std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return logged[a] < logged[b]; });
            std::vector<ResultSet::Row> run;
            run.reserve(order.size());
            for (const std::size_t i : order) {
                run.push_back(std::move(rows[i]));
            }
            std::move(run.begin(), run.end(), rows.begin() + static_cast<std::ptrdiff_t>(first));
        }
        first = end;
    }
}

} // namespace

ResultSet clsDBLib::GetCommLogRecordSet(const QString& PlateNumber, const QString& FromTime, const QString& ToTime,
                                        float FromSpeed, float ToSpeed, float FromOffset, float ToOffset) {
    requireOpen();
    const QString sql = QStringLiteral(
        "SELECT PlateNumber,DialTime,CheckPoint,EW,X,NS,Y,[Position],Speed,Direction,Offset,Healthy,rowid FROM "
        "CommLog WHERE PlateNumber=? AND DialTime>=? AND DialTime<=? AND Speed>=? AND Speed<=? AND Offset>=? AND "
        "Offset<=? AND X>0 AND Y>0 ORDER BY DialTime");
    const SqlValue values[] = {T(PlateNumber), T(FromTime), T(ToTime), FromSpeed, ToSpeed, FromOffset, ToOffset};
    m_strSQL = RenderSql(sql, values);
    SqlStatement statement = m_cn.prepare(sql);
    statement.bindAll(values);

    static const QList<ResultColumn> kColumns = {
        {QStringLiteral("PlateNumber"), FieldType::Text}, {QStringLiteral("DialTime_1"), FieldType::DateTime},
        {QStringLiteral("DialTime"), FieldType::Text},    {QStringLiteral("CheckPoint"), FieldType::Text},
        {QStringLiteral("EWX"), FieldType::Text},         {QStringLiteral("EW"), FieldType::Text},
        {QStringLiteral("X"), FieldType::Double},         {QStringLiteral("NSY"), FieldType::Text},
        {QStringLiteral("NS"), FieldType::Text},          {QStringLiteral("Y"), FieldType::Double},
        {QStringLiteral("Position"), FieldType::Text},    {QStringLiteral("Speed_1"), FieldType::Text},
        {QStringLiteral("Speed"), FieldType::Single},     {QStringLiteral("Direction_1"), FieldType::Text},
        {QStringLiteral("Direction"), FieldType::Single}, {QStringLiteral("Offset_1"), FieldType::Text},
        {QStringLiteral("Healthy"), FieldType::Text},
    };
    enum { kPlate, kDialTime, kCheckPoint, kEW, kX, kNS, kY, kPosition, kSpeed, kDirection, kOffset, kHealthy, kRowid };
    const std::size_t kDialTimeCell = 2; // DialTime's place in kColumns
    const QString km = QStringLiteral("km");
    const QString m = QStringLiteral("m");

    RepeatedText plate, checkPoint, ew, ns, place, healthy;
    RepeatedResult<double> ewx, nsy;
    QString lastEW, lastNS;
    RepeatedResult<float> speedText, directionText, offsetText;
    std::vector<ResultSet::Row> rows;
    std::vector<qint64> logged;
    while (statement.step()) {
        const FieldValue x = DoubleField(statement, kX);
        const FieldValue y = DoubleField(statement, kY);
        const FieldValue speed = SingleField(statement, kSpeed);
        const FieldValue direction = SingleField(statement, kDirection);
        const FieldValue offset = SingleField(statement, kOffset);
        const FieldValue EW = ew.field(statement, kEW);
        const FieldValue NS = ns.field(statement, kNS);
        // A Null hemisphere text joins as ""; a Null number leaves its computed column Null. A row whose
        // hemisphere changes computes its position anew.
        const auto position = [](RepeatedResult<double>& cache, QString& last, const FieldValue& hemisphere,
                                 const FieldValue& value) {
            const QString text = TypeOf(hemisphere) == FieldType::Text ? std::get<QString>(hemisphere) : QString();
            if (text != last) {
                last = text;
                cache.forget();
            }
            return cache.field(value, [&](double v) { return Optional(DegreesMinutesSeconds(text, v)); });
        };
        const auto quantity = [](RepeatedResult<float>& cache, const FieldValue& value, const QString& unit) {
            return cache.field(value, [&](float v) { return Optional(QuantityText(v, unit)); });
        };
        ResultSet::Row row;
        row.reserve(17);
        const FieldValue dialTime = TextField(statement, kDialTime);
        row.push_back(plate.field(statement, kPlate));
        row.push_back(TypeOf(dialTime) == FieldType::Null ? FieldValue()
                                                          : Optional(DialTimeValue(std::get<QString>(dialTime))));
        row.push_back(dialTime);
        row.push_back(checkPoint.field(statement, kCheckPoint));
        row.push_back(position(ewx, lastEW, EW, x));
        row.push_back(EW);
        row.push_back(x);
        row.push_back(position(nsy, lastNS, NS, y));
        row.push_back(NS);
        row.push_back(y);
        row.push_back(place.field(statement, kPosition));
        row.push_back(quantity(speedText, speed, km));
        row.push_back(speed);
        row.push_back(directionText.field(direction, [](float v) { return Optional(CompassName(v)); }));
        row.push_back(direction);
        row.push_back(quantity(offsetText, offset, m));
        row.push_back(healthy.field(statement, kHealthy));
        rows.push_back(std::move(row));
        logged.push_back(statement.integer(kRowid));
    }
    RestoreLoggedOrder(rows, logged, kDialTimeCell);
    return ResultSet(kColumns, std::move(rows));
}

ResultSet clsDBLib::GetMapReportRecordset() {
    requireOpen();
    m_strSQL = QStringLiteral("SELECT * FROM MapReport");
    SqlStatement statement = m_cn.prepare(m_strSQL);
    QList<ResultColumn> columns;
    for (int i = 0; i < statement.columnCount(); ++i) {
        columns.push_back({statement.columnName(i), AffinityOf(statement.declaredType(i))});
    }
    std::vector<ResultSet::Row> rows;
    while (statement.step()) {
        ResultSet::Row row;
        for (int i = 0; i < statement.columnCount(); ++i) {
            row.push_back(statement.value(i));
        }
        rows.push_back(std::move(row));
    }
    return ResultSet(std::move(columns), std::move(rows));
}

} // namespace kestrova
