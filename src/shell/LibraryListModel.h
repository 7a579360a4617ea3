#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "library/db/LibraryEntry.h"

// The Library window's list: the programs a search found, one row each, in the order the
// database gave them. Rows are dragged out (onto the bank's locations) as the ids of their
// programs, in list order; the list itself keeps them.
class LibraryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kFavourite, kName, kTags, kEffect, kAdded, kLastUsed, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetEntries(std::vector<LibraryEntry> entries);
    const std::vector<LibraryEntry>& Entries() const { return entries_; }
    // The entry of a row, or null outside the list.
    const LibraryEntry* EntryAt(int row) const;
    // The row of the entry with id, or -1.
    int RowOf(int64_t id) const;
    // Shows the entry of row as used at the given time, where it stands (the list is not sorted
    // anew under the user's cursor).
    void SetLastUsed(int row, int64_t at);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The ids of the rows of indexes, each once, one a line in list order.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

private:
    std::vector<LibraryEntry> entries_;
};

// The effect types' names as the panel shows them ("off", "chorus", ...).
const char* EffectTypeName(int effectType);
