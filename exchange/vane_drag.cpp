// Drag and drop: the view or the current file out, files in.

#include "app/vane.h"

// Qt
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

// Local
#include "browse/paths.h"
#include "exchange/drag_out_watcher.h"

namespace vorlane {

QString VANE::dragSnapshotPath()
{
    // A private per-user folder: the program's own folder is not writable
    // once installed.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/vorlane/vorlane.bmp");
}

void VANE::setUpDragAndDrop()
{
    m_dragOut = new DragOutWatcher([this] { runDragOut(); }, this);
    Picture1->installEventFilter(m_dragOut);
    m_form->installEventFilter(m_dragOut);
    connect(Picture1, &PictureSurface::dataDropped, this, &VANE::Picture1_OLEDragDrop);
}

void VANE::startDragOut()
{
    m_dragOut->arm();
}

void VANE::runDragOut()
{
    auto *data = new QMimeData;
    Qt::DropActions effects;
    if (!Picture1_OLEStartDrag(*data, effects)) {
        delete data;
        return;
    }
    auto *drag = new QDrag(Picture1);
    drag->setMimeData(data);
    const Qt::DropAction effect = drag->exec(effects, Qt::CopyAction);
    Picture1_OLECompleteDrag(effect);
}

// Writes the view to the snapshot file, its folder private to the user.
bool VANE::writeDragSnapshot(const QString &path)
{
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!m_services.pictures.savePicture(Picture1->Image(), path))
        return false;
    m_snapshotWritten = true;
    return true;
}

bool VANE::Picture1_OLEStartDrag(QMimeData &data, Qt::DropActions &allowedEffects)
{
    data.clear();
    // The drop prompt shown without a picture is not one to drag out.
    if (!HasPicture())
        return false;
    QString offered;
    if (m_shiftdrag) {
        offered = m_fname;
    } else {
        offered = dragSnapshotPath();
        // Offering a stale or missing snapshot would report a failed write
        // as a successful drag.
        if (offered.isEmpty() || !writeDragSnapshot(offered))
            return false;
    }
    // A file list naming no file would hand the target nothing: no current
    // file yet, or a pasted picture that was never written.
    if (!QFileInfo(offered).isFile())
        return false;
    data.setUrls({ QUrl::fromLocalFile(offered) });
    // The target may copy the file, never move it.
    allowedEffects = Qt::CopyAction;
    // While the drag lasts, neither the surface nor the window takes a drop:
    // the picture dragged onto its own window does nothing.
    Picture1->setAcceptDrops(false);
    setAcceptDrops(Picture1->acceptDrops());
    return true;
}

void VANE::Picture1_OLECompleteDrag(Qt::DropAction effect)
{
    Q_UNUSED(effect);
    Picture1->setAcceptDrops(true);
    setAcceptDrops(Picture1->acceptDrops());
}

// The local files among the URLs dropped, in their order; nullopt when the
// data holds no local file (it then counts as data without a file list).
static std::optional<QStringList> droppedFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    if (files.isEmpty())
        return std::nullopt;
    return files;
}

void VANE::Picture1_OLEDragDrop(const QMimeData &data, int button, int shift, float x, float y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (const std::optional<QStringList> files = droppedFiles(data)) {
        if (files->size() == 1) {
            OpenPath(files->first());
        } else {
            // The dropped pictures, in drop order, become the list; their
            // folder is not scanned and no sound is looked for.
            m_BitmapList.clear();
            m_scandir.clear();
            for (const QString &file : *files) {
                if (IsBitmapFile(file))
                    m_BitmapList.append(file);
            }
            m_bmpidx = 0;
            LoadPictureFile(m_BitmapList.isEmpty() ? QString() : m_BitmapList.at(0));
        }
    }
    Picture1->setFocus();
}

void VANE::Form_OLEDragDrop(const QMimeData &data, int button, int shift, float x, float y)
{
    Picture1_OLEDragDrop(data, button, shift, x, y);
}

void VANE::dragEnterEvent(QDragEnterEvent *event)
{
    // Whatever is dragged in is taken: data without files moves the focus.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void VANE::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void VANE::dropEvent(QDropEvent *event)
{
    const QPointF at = event->position();
    Form_OLEDragDrop(*event->mimeData(), mouseButtonBits(event->buttons()),
                     shiftBits(event->modifiers()),
                     float(m_services.screen.pixelsToTwipsX(at.x())),
                     float(m_services.screen.pixelsToTwipsY(at.y())));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace vorlane
