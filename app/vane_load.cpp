// Loading a picture file and showing a new picture.

#include "app/vane.h"

// Local
#include "app/fitting.h"
#include "browse/paths.h"
#include "exchange/memo_window.h"

namespace vorlane {

// The slide-show suffix of the caption: " >> " and the interval in seconds
// in its shortest form ("10", "2.5", "0.1").
static QString slideSuffix(int intervalMs)
{
    return QStringLiteral(" >> ") + QString::number(intervalMs / 1000.0);
}

void VANE::LoadPictureFile(const QString &path)
{
    // The caption first, so that a file that fails still shows its name (an
    // empty path has no name: the caption stays).
    if (const std::optional<QString> name = GetFileName(path)) {
        QString caption = *name;
        if (ssTimer.isActive())
            caption += slideSuffix(ssTimer.interval());
        setWindowTitle(caption);
    }
    // Decode. A file that does not decode changes nothing but the
    // caption; an empty path gives an empty picture object.
    if (path.isEmpty()) {
        m_pic = Picture();
    } else {
        m_trace.beginLoad(GetFileName(path).value_or(QString()));
        std::optional<Picture> decoded = m_services.pictures.loadPicture(path, fitBox());
        m_trace.decoded(decoded.has_value());
        LoadTrace::stage("decoded");
        if (!decoded)
            return;
        m_pic = std::move(*decoded);
    }
    // An empty picture object is released and the view keeps its state.
    if (!HasPicture())
        return;
    // The new picture becomes current, the memo follows it, and it is shown.
    m_fname = path;
    SyncMemoWindow();
    LoadTrace::stage("memo");
    ShowNewPicture();
    LoadTrace::stage("drawn");
}

void VANE::ShowNewPicture()
{
    if (m_pic) {
        m_orgx = naturalTwips(m_pic->himetric().width());
        m_orgy = naturalTwips(m_pic->himetric().height());
    }
    m_size = 100;
    m_trimx = 0;
    m_trimy = 0;
    m_trimw = m_orgx;
    m_trimh = m_orgy;
    FormResize();
    Picture1->setVisible(true);
}

void VANE::loadPixelsForView()
{
    if (!HasPicture() || !m_pic->isReduced())
        return;
    const QRectF crop(m_trimx, m_trimy, m_trimw, m_trimh);
    if (m_pic->coversView(crop, Picture1->Image().size()))
        return;
    // Zoomed in or cropped past what was decoded for the fitted view: the
    // file was kept open since, so a move, a delete or a rename over it
    // changes nothing. One rewritten in place that no longer decodes to the
    // same picture leaves the held pixels, stretched, for good: zoom, crop
    // and undo stay those of the picture shown.
    std::optional<Picture> full = m_services.pictures.loadPicture(m_pic->fullSource());
    if (full && full->handle() && full->himetric() == m_pic->himetric())
        m_pic = std::move(*full);
    else
        m_pic = Picture(m_pic->image(), m_pic->himetric(), {}, m_pic->fittedView());
}

void VANE::SyncMemoWindow()
{
    // Saves a pending edit of the memo being left, then follows the picture.
    // A memo window not made yet has nothing to save: it is made when first
    // needed, with the memo of the picture current then.
    if (m_memo)
        m_memo->UpdateFile(GetMemoFile());
}

} // namespace vorlane
