#include "gui/CategoryListModel.h"

#include "core/library/Listing.h"

#include <QColor>

void CategoryListModel::ShowEmpty() {
    beginResetModel();
    entries_ = QStringList{QString()};
    endResetModel();
}

void CategoryListModel::ShowValues(const std::vector<std::string>& values) {
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(values.size()) + 1);
    entries.push_back(QString::fromUtf8(browser::kAllEntry));
    for (const std::string& value : values)
        entries.push_back(QString::fromStdString(value));
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void CategoryListModel::ShowNoRows() {
    beginResetModel();
    entries_.clear();
    endResetModel();
}

std::string CategoryListModel::EntryText(int row) const {
    if (row < 0 || row >= entries_.size())
        return {};
    return entries_[row].toStdString();
}

int CategoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant CategoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    if (role == Qt::DisplayRole)
        return entries_[index.row()];
    if (role == Qt::BackgroundRole && index.row() % 2 == 0)
        return QColor(251, 254, 204);
    return {};
}
