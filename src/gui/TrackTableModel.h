#pragma once

#include "core/library/DisplayMode.h"
#include "core/library/TrackColumns.h"

#include <QAbstractTableModel>
#include <QPixmap>

#include <cstdint>
#include <vector>

class TiPod;

// The track table over the library: one row per listed track, no copy of the texts. Each row
// keeps the library index of its own track, so play and copy never confuse two tracks with
// equal titles, and sorting moves whole rows (with their selection) instead of texts.
class TrackTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = browser::kTrackColumns;
    static constexpr int kNoTrack = -1;

    explicit TrackTableModel(const TiPod& library, QObject* parent = nullptr);

    // The header and one blank row, as before any listing.
    void ShowBlankRow();
    // The given library indices, in this order.
    void ShowTracks(std::vector<std::int32_t> tracks);

    // The library index of a row's track, or kNoTrack for the blank row.
    std::int32_t TrackOfRow(int row) const;

    // Sorts whole rows by one column; rows keep their selection.
    void SortRows(int column, Qt::SortOrder order);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QPixmap PlaySymbol();

private:
    QString CellText(int row, int column) const;

    const TiPod& library_;
    std::vector<std::int32_t> rows_;
    QPixmap playSymbol_;
};
