#pragma once

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>
#include <QWindow>

// A drag that enters a shown window at point (in the window's coordinates), moves there and is
// released, as the window system hands it over: the window itself finds the widget under the
// point that takes drops. True when that widget accepted the drag before the drop.
inline bool DropOnWindow(QWidget& window, const QPoint& point, const QMimeData& mime) {
    QWindow* target = window.windowHandle();
    if (target == nullptr) return false;
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    return true;
}
