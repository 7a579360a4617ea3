#pragma once

#include <QEvent>

// A menu command identifier sent to the main window by anyone else than its menu bar (the
// identifiers without a menu item, 40033, 40034 and 40044, arrive this way).
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int id) : QEvent(EventType()), id_(id) {}
    int Id() const { return id_; }
    static QEvent::Type EventType() {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }

private:
    int id_;
};
