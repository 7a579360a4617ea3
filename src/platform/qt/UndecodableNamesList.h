#pragma once

#include <QListWidget>
#include <QStringList>

#include <string>
#include <vector>

class QFileDialog;
class QLabel;

// The files of a file dialog's folder whose names are not valid UTF-8. Qt leaves such names out
// of every directory listing, so its file dialog never shows them; this list, placed under the
// dialog's own, shows them (undecodable bytes as replacement characters) and a double click or
// Enter chooses one by its bytes and closes the dialog as OK does.
class UndecodableNamesList : public QListWidget {
    Q_OBJECT

public:
    static constexpr const char* kCaption = "Also here, with names that are not valid UTF-8:";

    // extensions: the file types the dialog shows ("prg"), without the dot; empty: all files.
    UndecodableNamesList(QFileDialog& dialog, QStringList extensions);

    // Lists the folder's files with such names; the list hides while there are none.
    void ShowFolder(const QString& folder);
    // Chooses the listed file at row and closes the dialog with OK.
    void Choose(int row);
    // The chosen file's path as bytes; empty while none was chosen.
    const std::string& Chosen() const { return chosen_; }

private:
    bool Shown(const std::string& name) const;

    QFileDialog& dialog_;
    QLabel* caption_ = nullptr;
    QStringList extensions_;
    std::string folder_;
    std::vector<std::string> names_;
    std::string chosen_;
};
