#include "data/result_set.h"

#include "data/data_errors.h"
#include "startup/runtime_error.h"

namespace kestrova {

ResultSet::ResultSet() : ResultSet(std::make_shared<const Rows>()) {}

ResultSet::ResultSet(QList<ResultColumn> columns, std::vector<Row> rows)
    : ResultSet(std::make_shared<const Rows>(Rows{std::move(columns), std::move(rows)})) {}

ResultSet::ResultSet(std::shared_ptr<const Rows> rows) : m_rows(std::move(rows)) {}

ResultSet ResultSet::clone() const {
    return ResultSet(m_rows);
}

int ResultSet::columnCount() const {
    return static_cast<int>(m_rows->columns.size());
}

const ResultColumn& ResultSet::column(int index) const {
    if (index < 0 || index >= columnCount()) {
        throw RuntimeError(kItemNotFound);
    }
    return m_rows->columns[index];
}

int ResultSet::columnIndex(QStringView name) const {
    for (int i = 0; i < columnCount(); ++i) {
        if (QStringView(m_rows->columns[i].name).compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

int ResultSet::rowCount() const {
    return static_cast<int>(m_rows->rows.size());
}

const FieldValue& ResultSet::cell(int row, int column) const {
    if (row < 0 || row >= rowCount()) {
        throw RuntimeError(kNoCurrentRecord);
    }
    if (column < 0 || column >= columnCount()) {
        throw RuntimeError(kItemNotFound);
    }
    return m_rows->rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ResultSet::moveFirst() {
    m_position = 0;
}

void ResultSet::moveNext() {
    if (eof()) {
        throw RuntimeError(kNoCurrentRecord);
    }
    ++m_position;
}

void ResultSet::moveTo(int row) {
    if (row < 0 || row >= rowCount()) {
        throw RuntimeError(kNoCurrentRecord);
    }
    m_position = row;
}

const FieldValue& ResultSet::field(int column) const {
    if (bof() || eof()) {
        throw RuntimeError(kNoCurrentRecord);
    }
    return cell(m_position, column);
}

const FieldValue& ResultSet::field(QStringView name) const {
    const int index = columnIndex(name);
    if (index < 0) {
        throw RuntimeError(kItemNotFound);
    }
    return field(index);
}

} // namespace kestrova
