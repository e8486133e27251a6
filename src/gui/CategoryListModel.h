#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <string>
#include <vector>

// One category list: "All ..." on row 0, then the library's distinct values.
class CategoryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // One empty row, as before any player is loaded.
    void ShowEmpty();
    void ShowValues(const std::vector<std::string>& values);
    // No row at all, not even "All ...": a player without playlists has nothing to choose.
    void ShowNoRows();

    std::string EntryText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList entries_{QString()};
};
