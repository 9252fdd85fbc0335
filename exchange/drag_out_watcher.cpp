#include "exchange/drag_out_watcher.h"

// Qt
#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

namespace vorlane {

DragOutWatcher::DragOutWatcher(std::function<void()> start, QObject *parent)
    : QObject(parent), m_start(std::move(start))
{
}

void DragOutWatcher::arm()
{
    if (!m_pressSeen)
        m_pressAt = QCursor::pos();
    m_armed = true;
}

bool DragOutWatcher::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // Seen before the widget's own handler, which may arm the watcher.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressAt = mouse->globalPosition();
            m_pressSeen = true;
            m_armed = false;
        }
        break;
    }
    case QEvent::MouseMove: {
        if (!m_armed)
            break;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) {
            m_armed = false;
            break;
        }
        if ((mouse->globalPosition() - m_pressAt).manhattanLength()
            < QApplication::startDragDistance())
            break;
        m_armed = false;
        m_start();
        // The move that started the drag belongs to the drag.
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_armed = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vorlane
