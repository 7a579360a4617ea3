#pragma once

#include <QListWidget>

#include <functional>
#include <vector>

#include "unit/ProgramSlots.h"

// The unit's 99 locations as a grid of cells, one item each in location order. Locations are
// selected several at once and dragged onto another to move them there; program files and
// programs dragged from the library are dropped onto a location to place them from there on.
// The grid itself changes nothing: it says what was dropped where.
class BankGrid : public QListWidget {
    Q_OBJECT
public:
    // The library list's drag: the ids of its programs, one a line.
    static constexpr const char* kLibraryIdsMime = "application/x-orvo-library-ids";

    explicit BankGrid(QWidget* parent = nullptr);

    std::function<void(const std::vector<int>& from, int to)> onMove;
    std::function<void(int location, const std::vector<ProgramValues>& programs)> onPlace;
    // The programs behind the dragged library ids, in their order.
    std::function<std::vector<ProgramValues>(const std::vector<qint64>& ids)> programsOfIds;

    std::vector<int> SelectedLocations() const;
    // What a drop onto location does: the grid's selected locations move there, or the
    // programs of the files or library ids are placed from there on.
    void Drop(int location, const QMimeData* mime, bool fromGrid);
    // The location under a point of the viewport; 0 for none.
    int LocationAt(const QPoint& point) const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Takes(const QMimeData* mime) const;
    std::vector<ProgramValues> ProgramsOf(const QMimeData* mime) const;
};
