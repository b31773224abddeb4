#include "track/track_grid_model.h"

#include "data/field_value.h"

namespace kestrova {

std::optional<TrackGridColumn> TrackGridColumnOf(QStringView name) {
    for (const TrackGridColumn& column : kTrackGridColumns) {
        if (column.name == name)
            return column;
    }
    return std::nullopt;
}

TrackGridModel::TrackGridModel(ResultSet rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)) {}

void TrackGridModel::moveFirst() {
    m_rows.moveFirst();
    reportMove();
}

void TrackGridModel::moveNext() {
    m_rows.moveNext();
    reportMove();
}

void TrackGridModel::moveTo(int row) {
    if (row == m_rows.position())
        return;
    m_rows.moveTo(row);
    reportMove();
}

void TrackGridModel::reportMove() {
    emit currentRowMoved(m_rows.eof() ? -1 : m_rows.position());
}

int TrackGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int TrackGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.columnCount();
}

QVariant TrackGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return FieldText(m_rows.cell(index.row(), index.column()));
}

QVariant TrackGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_rows.columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString& name = m_rows.column(section).name;
    const std::optional<TrackGridColumn> shown = TrackGridColumnOf(name);
    return shown ? shown->caption.toString() : name;
}

} // namespace kestrova
