#pragma once

// Qt
#include <QObject>
#include <QPointF>

// Std
#include <functional>

namespace vorlane {

// Turns an armed press into a drag: watches the mouse on the widgets it is
// installed on and calls start once the pointer has moved the platform's
// drag distance with the left button held. A release first, or a move
// without the button, disarms it, so a plain click or double-click starts
// nothing.
class DragOutWatcher : public QObject
{
public:
    DragOutWatcher(std::function<void()> start, QObject *parent);

    // Arms the watcher at the last left press seen (the pointer's position
    // when none was).
    void arm();
    [[nodiscard]] bool armed() const { return m_armed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_start;
    bool m_armed = false;
    bool m_pressSeen = false;
    QPointF m_pressAt; // global position of the last left press
};

} // namespace vorlane
