// Stepping through the folder's pictures and the timed slide show.

#include "app/vane.h"

// Local
#include "browse/paths.h"

namespace vorlane {

void VANE::ShowBitmap(qint32 idx)
{
    if (idx < 0 || idx >= m_BitmapList.count())
        return;
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
    // Forward first: stepping on is what users do most. Anything else held
    // is let go.
    QStringList paths;
    const int count = m_BitmapList.count();
    if (count >= 2 && m_bmpidx >= 0 && m_bmpidx < count) {
        paths << m_BitmapList.at((m_bmpidx + 1) % count);
        const QString before = m_BitmapList.at((m_bmpidx + count - 1) % count);
        if (!paths.contains(before))
            paths << before;
    }
    m_services.pictures.prefetch(m_fname, paths);
}

void VANE::FindBmp(const QString &path)
{
    if (GetDirName(path).isEmpty())
        return;
    const std::optional<QString> base = basePath(path);
    if (!base)
        return;
    const int count = m_BitmapList.count();
    for (int i = 0; i < count; ++i) {
        if (basePath(m_BitmapList.at(i)) == base) {
            if (i != m_bmpidx)
                ShowBitmap(i);
            return;
        }
    }
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
