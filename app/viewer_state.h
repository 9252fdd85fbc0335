#pragma once

// Qt
#include <QString>
#include <QStringList>
#include <QTime>

// Std
#include <optional>

// Local
#include "browse/sorted_path_list.h"
#include "platform/picture.h"

namespace vorlane {

// The viewer's state, free of widgets so that arithmetic and tests can work
// on it without a window. Positions and sizes are twips; the crop rectangle
// is in twips of the picture at its natural size.
struct ViewerState
{
    // Zoom percentage applied to the crop rectangle.
    float m_size = 100;
    // Natural size of the held picture (the empty view's design size at
    // start).
    qint32 m_orgx = 4440;
    qint32 m_orgy = 2940;
    // Full path of the file the current picture came from; may be empty.
    QString m_fname;
    // The crop rectangle.
    qint32 m_trimx = 0;
    qint32 m_trimy = 0;
    qint32 m_trimw = 4440;
    qint32 m_trimh = 2940;
    // The held picture: absent, or a picture object (whose handle may be 0).
    std::optional<Picture> m_pic;
    // Rubber-band anchor and last drawn corner while cropping with the mouse.
    qint32 m_startx = 0;
    qint32 m_starty = 0;
    float m_endx = 0;
    float m_endy = 0;
    // Crop mode armed.
    bool m_trimming = false;
    // Current entries of m_BitmapList and m_SoundList.
    qint32 m_bmpidx = 0;
    qint32 m_sndidx = 0;
    // Time of day of the last slide-show event, to the whole second.
    QTime m_slidetime = QTime(0, 0);
    // Window folded down to its menu bar.
    bool m_folded = false;
    // File to offer for saving at exit ("-A " on the command line).
    QString m_savename;
    // Shift was held when a drag out of the picture began.
    bool m_shiftdrag = false;
    // Folder remembered by the sound-only scan.
    QString m_scandir;
    // Copy the view to the clipboard after every fitting.
    bool m_trimcopy = false;

    // The folder's pictures and sounds, full paths in sorted order.
    SortedPathList m_BitmapList;
    SortedPathList m_SoundList;
    // Undo entries, oldest first.
    QStringList UndoList;
};

} // namespace vorlane
