#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "unit/ProgramSlots.h"

class BankGrid;
class BankTransfers;
class LibraryDatabase;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The Bank window: the unit's 99 locations with what the library knows each holds (and since
// when) or "unknown", the locations whose plan differs from that marked, and what a send made of
// each (sent, verified, failed). Locations are arranged by dragging; nothing reaches the unit
// until Send. Everything it does to the bank it does under the plug-in lock.
class BankWindow : public QWidget {
    Q_OBJECT
public:
    BankWindow(BankTransfers& bank, LibraryDatabase& database, std::recursive_mutex& lock,
               QWidget* owner);

    // The text of a location's cell, as shown.
    QString CellText(int location) const;
    BankGrid* Grid() const { return grid_; }
    // The centre of a location's cell, in the window's coordinates.
    QPoint CellCentre(int location) const;
    // Shows the bank anew when it changed.
    void Follow();

private:
    void Build();
    void Refresh();
    void Arranged(bool changed);
    void Read();
    void Send();
    void Undo();
    void Redo();
    void Import();
    void Export();
    void SendBackKept();
    QString NameOf(const std::optional<ProgramValues>& program) const;

    BankTransfers& bank_;
    LibraryDatabase& database_;
    std::recursive_mutex& lock_;
    BankGrid* grid_ = nullptr;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* retry_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QPushButton* sendBack_ = nullptr;
    QTimer* timer_ = nullptr;
    uint64_t shown_ = 0;
};
