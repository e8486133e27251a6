#include "gui/TrackTableModel.h"

#include "gui/skin/SkinPicture.h"
#include "core/library/SizeValue.h"
#include "core/device/TiPod.h"
#include "platform/Text.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <numeric>

namespace {

using browser::kColumnField;
using browser::kColumnHeading;

const QColor kBandColour(251, 254, 204);

constexpr int kFileSizeColumn = 2;

// A size cell counts by the size it shows; any other cell by the number it is, if it is one.
bool ParsesAsNumber(int column, std::string_view text, double& value) {
    if (column == kFileSizeColumn) {
        const auto size = browser::SizeTextValue(text);
        value = size.value_or(0.0);
        return size.has_value();
    }
    bool ok = false;
    value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toDouble(&ok);
    return ok;
}

} // namespace

TrackTableModel::TrackTableModel(const TiPod& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library), playSymbol_(PlaySymbol()) {
    rows_.push_back(kNoTrack);
}

QPixmap TrackTableModel::PlaySymbol() {
    // The skin's round grey button with a white play triangle, 16 x 16.
    return QPixmap::fromImage(skin::Picture::Load(QStringLiteral("play")).At(1));
}

void TrackTableModel::ShowBlankRow() {
    ShowTracks({});
}

void TrackTableModel::ShowTracks(std::vector<std::int32_t> tracks) {
    beginResetModel();
    rows_ = std::move(tracks);
    if (rows_.empty())
        rows_.push_back(kNoTrack);
    endResetModel();
}

std::int32_t TrackTableModel::TrackOfRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return kNoTrack;
    return rows_[static_cast<std::size_t>(row)];
}

int TrackTableModel::rowCount(const QModelIndex& parent) const {
    // An empty library leaves the header alone.
    if (parent.isValid() || library_.GetSongCount() == 0)
        return 0;
    return static_cast<int>(rows_.size());
}

int TrackTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString TrackTableModel::CellText(int row, int column) const {
    const std::int32_t track = TrackOfRow(row);
    if (track == kNoTrack || column <= 0 || column >= kColumns)
        return {};
    const std::string_view text =
        library_.Field(track, kColumnField[static_cast<std::size_t>(column)]);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant TrackTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && TrackOfRow(index.row()) != kNoTrack)
            return playSymbol_;
        return {};
    case Qt::BackgroundRole:
        if (index.row() % 2 == 0)
            return kBandColour;
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignTop);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TrackTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kColumnHeading[static_cast<std::size_t>(section)]);
    return {};
}

void TrackTableModel::SortRows(int column, Qt::SortOrder order) {
    if (rows_.size() < 2 || column <= 0 || column >= kColumns)
        return;
    const int count = static_cast<int>(rows_.size());
    // Blank cells first; a column of numbers by value; text by the user's locale, case aside.
    std::vector<std::string_view> texts(rows_.size());
    std::vector<double> numbers(rows_.size(), 0.0);
    bool numeric = true;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row] != kNoTrack)
            texts[row] = library_.Field(rows_[row], kColumnField[static_cast<std::size_t>(column)]);
        if (!texts[row].empty() && numeric && !ParsesAsNumber(column, texts[row], numbers[row]))
            numeric = false;
    }
    std::vector<std::string> keys;
    if (!numeric) {
        keys.reserve(rows_.size());
        for (std::string_view text : texts)
            keys.push_back(platform::SortKey(text));
    }
    std::vector<int> order_(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    auto less = [&](int a, int b) {
        const auto i = static_cast<std::size_t>(a);
        const auto j = static_cast<std::size_t>(b);
        if (texts[i].empty() != texts[j].empty())
            return texts[i].empty();
        return numeric ? numbers[i] < numbers[j] : keys[i] < keys[j];
    };
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        return order == Qt::AscendingOrder ? less(a, b) : less(b, a);
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(rows_.size());
    std::vector<std::int32_t> sorted(rows_.size());
    for (int to = 0; to < count; ++to) {
        sorted[static_cast<std::size_t>(to)] =
            rows_[static_cast<std::size_t>(order_[static_cast<std::size_t>(to)])];
        newRowOf[static_cast<std::size_t>(order_[static_cast<std::size_t>(to)])] = to;
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(
            this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
