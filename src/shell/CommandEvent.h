#pragma once

#include <QEvent>

// A menu command identifier sent to the main window by anyone else than its menu bar (the
// identifiers without a menu item, menu::kHalfPanel, kFullPanel and kZoom200, arrive this way).
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
