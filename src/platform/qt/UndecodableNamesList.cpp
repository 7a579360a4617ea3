#include "platform/qt/UndecodableNamesList.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {
bool ValidUtf8(const std::string& bytes) {
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text.toUtf8() == QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

UndecodableNamesList::UndecodableNamesList(QFileDialog& dialog, QStringList extensions)
    : QListWidget(&dialog), dialog_(dialog), extensions_(std::move(extensions)) {
    caption_ = new QLabel(kCaption, &dialog);
    setMaximumHeight(fontMetrics().lineSpacing() * 5);
    hide();
    caption_->hide();
    // The dialog's own widgets lie in a grid; the caption and the list take rows below them.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int columns = grid->columnCount();
        grid->addWidget(caption_, grid->rowCount(), 0, 1, columns);
        grid->addWidget(this, grid->rowCount(), 0, 1, columns);
    }
    connect(&dialog, &QFileDialog::directoryEntered, this, &UndecodableNamesList::ShowFolder);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Choose(row(item)); });
}

bool UndecodableNamesList::Shown(const std::string& name) const {
    if (extensions_.isEmpty()) return true;
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return std::any_of(extensions_.begin(), extensions_.end(), [&text](const QString& extension) {
        return text.endsWith("." + extension, Qt::CaseInsensitive);
    });
}

void UndecodableNamesList::ShowFolder(const QString& folder) {
    clear();
    names_.clear();
    folder_ = folder.toStdString();
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        if (ValidUtf8(name) || !entry.is_regular_file(error) || !Shown(name)) continue;
        names_.push_back(name);
    }
    std::sort(names_.begin(), names_.end());
    for (const std::string& name : names_)
        addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    setVisible(!names_.empty());
    caption_->setVisible(!names_.empty());
}

void UndecodableNamesList::Choose(int row) {
    if (row < 0 || static_cast<size_t>(row) >= names_.size()) return;
    chosen_ = folder_ + names_[static_cast<size_t>(row)];
    // As OK closes it; QFileDialog keeps done() to itself, QDialog offers it.
    static_cast<QDialog&>(dialog_).done(QDialog::Accepted);
}
