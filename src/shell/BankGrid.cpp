#include "shell/BankGrid.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "unit/ProgramFile.h"

BankGrid::BankGrid(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setGridSize(QSize(150, 58));
    setUniformItemSizes(true);
    setWordWrap(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    // A drag over the cells finds the viewport first: without this it would pass to the view
    // itself, which as a scroll area takes no drag events, and every drop would be refused.
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

std::vector<int> BankGrid::SelectedLocations() const {
    std::vector<int> locations;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        locations.push_back(index.row() + 1);
    return locations;
}

int BankGrid::LocationAt(const QPoint& point) const {
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() + 1 : 0;
}

bool BankGrid::Takes(const QMimeData* mime) const {
    return mime->hasUrls() || mime->hasFormat(kLibraryIdsMime);
}

void BankGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this || Takes(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    event->ignore();
}

void BankGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (LocationAt(event->position().toPoint()) == 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

std::vector<ProgramValues> BankGrid::ProgramsOf(const QMimeData* mime) const {
    std::vector<ProgramValues> programs;
    if (mime->hasFormat(kLibraryIdsMime) && programsOfIds) {
        std::vector<qint64> ids;
        for (const QByteArray& line : mime->data(kLibraryIdsMime).split('\n')) {
            bool ok = false;
            const qint64 id = line.trimmed().toLongLong(&ok);
            if (ok) ids.push_back(id);
        }
        return programsOfIds(ids);
    }
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) continue;
        // A file that is no program is passed over; the others are placed in their order.
        if (auto program = ReadProgramFile(url.toLocalFile().toStdString()))
            programs.push_back(*program);
    }
    return programs;
}

void BankGrid::dropEvent(QDropEvent* event) {
    const int location = LocationAt(event->position().toPoint());
    if (location == 0) {
        event->ignore();
        return;
    }
    // The grid's items stay where they are: the bank is arranged and the grid shown anew.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Drop(location, event->mimeData(), event->source() == this);
}

void BankGrid::Drop(int location, const QMimeData* mime, bool fromGrid) {
    if (fromGrid) {
        if (onMove) onMove(SelectedLocations(), location);
        return;
    }
    const std::vector<ProgramValues> programs = ProgramsOf(mime);
    if (!programs.empty() && onPlace) onPlace(location, programs);
}
