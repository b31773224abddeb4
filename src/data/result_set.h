#pragma once

#include "data/field_value.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

// The rows a query returned, with a current row: the program moves it and reads the current row's
// fields by name or position. Whoever holds the same ResultSet shares its current row (the track
// grid and the playback); clone() gives an independent current row over the same rows.
namespace kestrova {

struct ResultColumn {
    QString name;
    FieldType type = FieldType::Null;
};

class ResultSet {
public:
    using Row = std::vector<FieldValue>;

    // An empty result without columns.
    ResultSet();
    // Every row holds one value per column. The current row is the first (BOF and EOF when empty).
    ResultSet(QList<ResultColumn> columns, std::vector<Row> rows);

    ResultSet(ResultSet&&) noexcept = default;
    ResultSet& operator=(ResultSet&&) noexcept = default;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // The same rows with a current row of its own, on the first row.
    ResultSet clone() const;

    int columnCount() const;
    const ResultColumn& column(int index) const;
    // The position of a column, names compared without regard to case; -1 when there is none.
    int columnIndex(QStringView name) const;
    int rowCount() const;
    // Any row's value, for views over all rows.
    const FieldValue& cell(int row, int column) const;

    // Before the first row / after the last. Both are true for an empty result; with rows, the current
    // row only leaves them by moving past the last row (EOF).
    bool bof() const { return rowCount() == 0; }
    bool eof() const { return m_position >= rowCount(); }
    // The current row's index (rowCount() at EOF).
    int position() const { return m_position; }

    void moveFirst();
    // To the next row, or to EOF after the last; an error at EOF.
    void moveNext();
    // To row `row` (0-based); an error when there is no such row.
    void moveTo(int row);

    // The current row's field; an error at BOF or EOF and for an unknown name or position.
    const FieldValue& field(int column) const;
    const FieldValue& field(QStringView name) const;

private:
    struct Rows {
        QList<ResultColumn> columns;
        std::vector<Row> rows;
    };

    explicit ResultSet(std::shared_ptr<const Rows> rows);

    std::shared_ptr<const Rows> m_rows;
    int m_position = 0;
};

} // namespace kestrova
