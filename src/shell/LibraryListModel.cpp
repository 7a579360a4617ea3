#include "shell/LibraryListModel.h"

#include <QDateTime>
#include <QMimeData>
#include <QStringList>

#include <algorithm>

#include "shell/BankGrid.h"

namespace {

constexpr const char* kEffectNames[] = {"off", "chorus", "overdrive", "equalizer"};
constexpr const char* kHeaders[LibraryListModel::kColumnCount] = {"\u2605", "Name",  "Tags",
                                                                  "Effect", "Added", "Last used"};

QString DateText(int64_t seconds) {
    if (seconds <= 0) return {};
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd hh:mm");
}

}  // namespace

const char* EffectTypeName(int effectType) {
    return effectType >= 0 && effectType < 4 ? kEffectNames[effectType] : "off";
}

void LibraryListModel::SetEntries(std::vector<LibraryEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

const LibraryEntry* LibraryListModel::EntryAt(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= entries_.size()) return nullptr;
    return &entries_[static_cast<size_t>(row)];
}

int LibraryListModel::RowOf(int64_t id) const {
    for (size_t row = 0; row < entries_.size(); ++row) {
        if (entries_[row].id == id) return static_cast<int>(row);
    }
    return -1;
}

void LibraryListModel::SetLastUsed(int row, int64_t at) {
    if (EntryAt(row) == nullptr) return;
    entries_[static_cast<size_t>(row)].lastUsed = at;
    emit dataChanged(index(row, kLastUsed), index(row, kLastUsed));
}

int LibraryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int LibraryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant LibraryListModel::data(const QModelIndex& index, int role) const {
    const LibraryEntry* entry = EntryAt(index.row());
    if (entry == nullptr || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    switch (index.column()) {
        case kFavourite:
            return entry->metadata.favourite ? QString("\u2605") : QString();
        case kName:
            return QString::fromStdString(entry->metadata.name);
        case kTags: {
            QStringList tags;
            for (const std::string& tag : entry->metadata.tags)
                tags << QString::fromStdString(tag);
            return tags.join(", ");
        }
        case kEffect:
            return QString(EffectTypeName(entry->effectType));
        case kAdded:
            return DateText(entry->added);
        case kLastUsed:
            return DateText(entry->lastUsed);
        default:
            return {};
    }
}

QVariant LibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return QString(kHeaders[section]);
}

Qt::ItemFlags LibraryListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return EntryAt(index.row()) != nullptr ? flags | Qt::ItemIsDragEnabled : flags;
}

QStringList LibraryListModel::mimeTypes() const {
    return {BankGrid::kLibraryIdsMime};
}

QMimeData* LibraryListModel::mimeData(const QModelIndexList& indexes) const {
    // A selected row comes once for each of its columns.
    std::vector<int> rows;
    for (const QModelIndex& index : indexes) {
        if (EntryAt(index.row()) != nullptr) rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return nullptr;
    QByteArray ids;
    for (int row : rows)
        ids +=
            QByteArray::number(static_cast<qint64>(entries_[static_cast<size_t>(row)].id)) + '\n';
    auto* mime = new QMimeData;
    mime->setData(BankGrid::kLibraryIdsMime, ids);
    return mime;
}
