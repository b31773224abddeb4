#pragma once

#include "data/result_set.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The track result as the grid dbgTrackQuery shows it. The model holds the one result whose current row
// the grid and the playback share: the playback moves it through the model, which reports each move so
// that the grid's current row follows, and the grid's moves come back through moveTo.
namespace kestrova {

// A column the grid shows, with its caption and, where the design fixes it, its width in twips. The
// result's other columns stay hidden.
struct TrackGridColumn {
    QStringView name;
    QStringView caption;
    std::optional<float> width;
};

inline constexpr std::array<TrackGridColumn, 6> kTrackGridColumns = {{
    {u"DialTime_1", u"撥號時間", 2625.0F},
    {u"CheckPoint", u"撥號情形", std::nullopt},
    {u"Position", u"位置", std::nullopt},
    {u"Speed_1", u"速度", std::nullopt},
    {u"Direction_1", u"方向", std::nullopt},
    {u"Offset_1", u"位移", std::nullopt},
}};

// The grid's entry for a column of the result; nothing for a hidden one.
std::optional<TrackGridColumn> TrackGridColumnOf(QStringView name);

class TrackGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TrackGridModel(ResultSet rows, QObject* parent = nullptr);

    // The shared result. Its current row moves only through the moves below, so the grid hears of each.
    const ResultSet& rows() const { return m_rows; }
    // An independent current row over the same rows, on the first row.
    ResultSet clone() const { return m_rows.clone(); }

    void moveFirst();
    void moveNext();
    void moveTo(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Each cell as its text; a shown column's header is its caption, a hidden one's its name.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The current row after a move: its index, or -1 past the last row.
    void currentRowMoved(int row);

private:
    void reportMove();

    ResultSet m_rows;
};

} // namespace kestrova
