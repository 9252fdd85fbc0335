#pragma once

// Qt
#include <QSize>
#include <QSizeF>
#include <QStringList>
#include <QWidget>

namespace vorlane {

class Picture;
class PictureService;
class PictureSurface;
class ScreenService;

// The size, in twips, a picture is drawn at in a thumbnail cell of at most
// maxWidth × maxHeight twips. The picture's natural size in HIMETRIC, taken
// as whole numbers, times the twips per pixel (px, py), is scaled down to
// the width first and then to the height; halves round to even.
[[nodiscard]] QSize thumbnailSize(QSizeF himetric, int px, int py, int maxWidth, int maxHeight);

// The thumbnail map window "PictureList": draws the first nine pictures of
// a list as a 3 × 3 map of framed cells of 1920 × 1440 twips. Closing it by
// hand during a drawing cancels the drawing; closing it afterwards only
// hides it, keeping the map. A close by the program always proceeds and
// unloads the map.
class frmCell : public QWidget
{
    Q_OBJECT
public:
    frmCell(PictureService &pictures, const ScreenService &screen, QWidget *parent = nullptr);

    // Draws the framed map of plist into Picture1, unless the map of a list
    // with the same first entry is drawn already. Lets events run after each
    // cell. false: a picture could not be loaded (the drawing ends there).
    bool TileMap(const QStringList &plist);
    // Draws the plain map of plist into Picture2, without frames or pauses.
    // false: a picture could not be loaded.
    bool MakeThumnail(const QStringList &plist);
    [[nodiscard]] QSize FitSize(const Picture &picture, int maxWidth, int maxHeight) const;

    PictureSurface *Picture1 = nullptr;
    PictureSurface *Picture2 = nullptr;
    bool m_busy = false;
    bool m_cancel = false;
    QString m_lastfirst;
    // The path of each cell drawn, in drawing order.
    QStringList m_cellfile;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Drawn { Complete, Cancelled, Failed };
    Drawn drawCells(PictureSurface *surface, const QStringList &plist, bool framed);
    // Back to the state of a newly loaded window: no map, no cells.
    void unload();

    PictureService &m_pictures;
    const ScreenService &m_screen;
    int m_px = 15;
    int m_py = 15;
};

} // namespace vorlane
