// Stepping through the folder's pictures and the timed slide show.

#include "app/vane.h"

// Qt
#include <QApplication>
#include <QKeyEvent>

// Local
#include "browse/paths.h"
#include "edit/key_codes.h"

namespace vorlane {

namespace {

// While a key step waits to be shown, any other input shows it first, so
// that every command acts on the picture the steps arrived at.
class PendingStepFlush : public QObject
{
public:
    PendingStepFlush(QObject *window, std::function<void()> flush)
        : QObject(window), m_flush(std::move(flush))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (otherInput(watched, event))
            m_flush();
        return QObject::eventFilter(watched, event);
    }

private:
    bool otherInput(QObject *watched, QEvent *event) const
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            const int code = virtualKeyCode(key->key(), key->modifiers(), key->nativeScanCode());
            return code != vk::Space && code != vk::Back;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Drop:
        case QEvent::ContextMenu:
            return true;
        case QEvent::Close:
            return watched == parent();
        default:
            return false;
        }
    }

    std::function<void()> m_flush;
};

} // namespace

void VANE::ShowBitmap(qint32 idx)
{
    if (idx < 0 || idx >= m_BitmapList.count())
        return;
    endStepRun();
    // A copy: loading may change the list (never today, but the path must
    // outlive this call's use of it).
    const QString path = m_BitmapList.at(idx);
    m_bmpidx = idx;
    LoadPictureFile(path);
    if (const std::optional<QString> name = GetFileName(path))
        setWindowTitle(*name);
    FormResize();
    FindSound(path);
    prefetchNeighbours();
}

void VANE::prefetchNeighbours()
{
    // The next two and the one before, forward first: stepping on is what
    // users do most. Anything else held is let go.
    QStringList paths;
    const int count = m_BitmapList.count();
    if (m_bmpidx >= 0 && m_bmpidx < count) {
        for (int offset : { 1, 2, -1 }) {
            const QString &path = m_BitmapList.at(((m_bmpidx + offset) % count + count) % count);
            if (path != m_fname && !paths.contains(path))
                paths << path;
        }
    }
    m_services.pictures.prefetch(m_fname, paths, fitBox());
}

void VANE::FindBmp(const QString &path)
{
    if (GetDirName(path).isEmpty())
        return;
    const int i = m_BitmapList.indexOfBasePath(path);
    if (i >= 0 && i != m_bmpidx)
        ShowBitmap(i);
}

void VANE::NextBitmap_Click()
{
    if (m_BitmapList.isEmpty())
        return;
    ++m_bmpidx;
    if (m_bmpidx >= m_BitmapList.count())
        m_bmpidx = 0;
    ShowBitmap(m_bmpidx);
}

void VANE::BeforeBitmap_Click()
{
    if (m_BitmapList.isEmpty())
        return;
    --m_bmpidx;
    if (m_bmpidx < 0)
        m_bmpidx = m_BitmapList.count() - 1;
    ShowBitmap(m_bmpidx);
}

// A held step key queues presses faster than pictures decode. Each press
// moves m_bmpidx and the caption at once; the picture is shown once the
// events already waiting have been handled, so a run of queued presses
// decodes only the picture it ends on. Showing every picture in turn would
// end the same way: the same index, caption, picture and view.
void VANE::stepByKey(int direction)
{
    // Each picture may start its own sound, which may show another picture:
    // with sounds in the folder every step is shown.
    if (m_BitmapList.isEmpty() || !m_SoundList.isEmpty()) {
        if (direction > 0)
            NextBitmap_Click();
        else
            BeforeBitmap_Click();
        return;
    }
    const int count = m_BitmapList.count();
    if (m_stepPending && m_bmpidx >= 0 && m_bmpidx < count)
        m_steppedOver << m_BitmapList.at(m_bmpidx);
    m_bmpidx += direction > 0 ? 1 : -1;
    if (m_bmpidx >= count)
        m_bmpidx = 0;
    if (m_bmpidx < 0)
        m_bmpidx = count - 1;
    if (const std::optional<QString> name = GetFileName(m_BitmapList.at(m_bmpidx)))
        setWindowTitle(*name);
    if (m_stepPending)
        return;
    m_stepPending = true;
    if (!m_stepFlush)
        m_stepFlush = new PendingStepFlush(this, [this] { showPendingStep(); });
    qApp->installEventFilter(m_stepFlush);
    QMetaObject::invokeMethod(this, &VANE::showPendingStep, Qt::QueuedConnection);
}

void VANE::endStepRun()
{
    if (m_stepFlush)
        qApp->removeEventFilter(m_stepFlush);
    m_stepPending = false;
    m_steppedOver.clear();
}

void VANE::showPendingStep()
{
    if (!m_stepPending)
        return;
    const QStringList over = m_steppedOver;
    const QString target = m_BitmapList.at(m_bmpidx);
    ShowBitmap(m_bmpidx);
    if (m_fname == target || !HasPicture())
        return;
    // The picture the keys stopped on did not load: shown in turn, the last
    // of the pictures passed over that loads would still be on screen.
    for (auto it = over.crbegin(); it != over.crend(); ++it) {
        LoadPictureFile(*it);
        if (m_fname == *it)
            break;
    }
    if (const std::optional<QString> name = GetFileName(target))
        setWindowTitle(*name);
    FormResize();
}

QTime VANE::nowToSecond()
{
    const QTime now = QTime::currentTime();
    return QTime(now.hour(), now.minute(), now.second());
}

void VANE::SlideShow_Click()
{
    m_slidetime = nowToSecond();
    if (!m_BitmapList.isEmpty()) {
        if (ssTimer.isActive()) {
            ssTimer.stop();
        } else {
            ssTimer.setInterval(10000);
            ssTimer.start();
        }
        ShowBitmap(m_bmpidx);
        if (ssTimer.isActive())
            setWindowTitle(windowTitle() + QStringLiteral(" >> 10"));
    }
    // The check mark shows whether the show runs, whatever the click did.
    SlideShow->setChecked(ssTimer.isActive());
}

void VANE::ssTimer_Timer()
{
    m_trace.markInput();
    m_slidetime = nowToSecond();
    NextBitmap_Click();
}

} // namespace vorlane
