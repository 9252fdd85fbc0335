// The thumbnail map window.

#include "browse/thumbnail_map.h"

// Qt
#include <QCloseEvent>
#include <QCoreApplication>

// Std
#include <cmath>

// Local
#include "platform/picture_service.h"
#include "platform/picture_surface.h"

namespace vorlane {

// Twips: one cell, and the map of 3 × 3 cells.
static constexpr int cellWidth = 1920;
static constexpr int cellHeight = 1440;
static constexpr int mapWidth = 3 * cellWidth;
static constexpr int mapHeight = 3 * cellHeight;
static constexpr int cellSlots = 101;

QSize thumbnailSize(QSizeF himetric, int px, int py, int maxWidth, int maxHeight)
{
    double w = std::nearbyint(himetric.width()) * px;
    double h = std::nearbyint(himetric.height()) * py;
    if (w > maxWidth) {
        h = maxWidth * h / w;
        w = maxWidth;
    }
    if (h > maxHeight) {
        w = maxHeight * w / h;
        h = maxHeight;
    }
    return { int(std::nearbyint(w)), int(std::nearbyint(h)) };
}

frmCell::frmCell(PictureService &pictures, const ScreenService &screen, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_pictures(pictures)
    , m_screen(screen)
{
    setWindowTitle(QStringLiteral("PictureList"));
    m_px = qMax(1, int(std::lround(screen.twipsPerPixelX())));
    m_py = qMax(1, int(std::lround(screen.twipsPerPixelY())));
    Picture1 = new PictureSurface(screen, this);
    Picture2 = new PictureSurface(screen, this);
    for (PictureSurface *surface : { Picture1, Picture2 }) {
        surface->setAutoRedraw(true);
        surface->setBackColor(Qt::white);
        surface->Move(100, 100);
    }
    // The plain map is drawn for its image, never shown.
    Picture2->hide();
    unload();
    resize(int(std::lround(screen.twipsToPixelsX(200 + mapWidth + m_px))),
        int(std::lround(screen.twipsToPixelsY(200 + mapHeight + m_py))));
}

void frmCell::unload()
{
    m_busy = false;
    m_lastfirst.clear();
    m_cellfile = QStringList(cellSlots);
    Picture1->Resize(mapWidth + 30, mapHeight + 30);
    Picture2->Resize(mapWidth, mapHeight);
    Picture1->Cls();
    Picture2->Cls();
}

QSize frmCell::FitSize(const Picture &picture, int maxWidth, int maxHeight) const
{
    return thumbnailSize(picture.himetric(), m_px, m_py, maxWidth, maxHeight);
}

frmCell::Drawn frmCell::drawCells(PictureSurface *surface, const QStringList &plist, bool framed)
{
    const int px = m_px;
    const int py = m_py;
    int n = 0;
    int x = px;
    int y = py;
    for (const QString &path : plist) {
        if (surface->Width() < x + cellWidth) {
            x = px;
            y += cellHeight;
        }
        if (surface->Height() < y + cellHeight)
            break;
        // Decoded for its cell only: a thumbnail needs no more pixels, and a
        // folder of large photos then costs a fraction of their full size.
        const std::optional<Picture> picture
            = m_pictures.loadPicture(path, QSize(cellWidth / px, cellHeight / py));
        if (!picture)
            return Drawn::Failed;
        if (n < cellSlots)
            m_cellfile[n] = path;
        ++n;
        const QSize size = FitSize(*picture, cellWidth, cellHeight);
        surface->PaintPicture(*picture,
            QRectF(x + (cellWidth - size.width()) / 2, y + (cellHeight - size.height()) / 2,
                size.width(), size.height()));
        if (framed) {
            // A raised bevel: light on the top and left, dark on the right
            // and bottom.
            const QPointF corner(x + cellWidth - px, y + cellHeight - py);
            surface->Line(QPointF(x, y), QPointF(x, y + cellHeight), Qt::white, false);
            surface->Line(QPointF(x, y), QPointF(x + cellWidth, y), Qt::white, false);
            surface->Line(corner, QPointF(x + cellWidth - px, y), Qt::black, false);
            surface->Line(corner, QPointF(x, y + 1420), Qt::black, false);
            // Repaint, and let a close request arrive.
            QCoreApplication::processEvents();
        }
        x += cellWidth;
        if (framed && m_cancel)
            return Drawn::Cancelled;
    }
    return Drawn::Complete;
}

bool frmCell::TileMap(const QStringList &plist)
{
    const QString first = plist.value(0);
    if (first == m_lastfirst)
        return true;
    m_cancel = false;
    m_busy = true;
    Picture1->Resize(m_px + mapWidth, m_py + mapHeight);
    Picture1->Cls();
    const Drawn drawn = drawCells(Picture1, plist, true);
    // Cleared on every way out, so that the window can always be closed.
    m_busy = false;
    switch (drawn) {
    case Drawn::Cancelled:
        close();
        unload();
        return true;
    case Drawn::Failed:
        return false;
    case Drawn::Complete:
        break;
    }
    m_lastfirst = first;
    return true;
}

bool frmCell::MakeThumnail(const QStringList &plist)
{
    Picture2->Resize(mapWidth, mapHeight);
    Picture2->Cls();
    return drawCells(Picture2, plist, false) != Drawn::Failed;
}

void frmCell::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        // The drawing loop stops after its current cell.
        m_cancel = true;
        if (event->spontaneous()) {
            event->ignore();
            return;
        }
    } else if (event->spontaneous()) {
        // Closed by hand: keep the map for the next time it is shown.
        hide();
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

} // namespace vorlane
