#pragma once

// Qt
#include <QImage>
#include <QString>
#include <QStringList>

// Std
#include <optional>

// Local
#include "platform/picture.h"

namespace vorlane {

// Decoding picture files and writing BMP files.
class PictureService
{
public:
    virtual ~PictureService() = default;

    // Decodes a BMP, GIF, JPEG, ICO or WMF file (kind decided by content).
    // nullopt: the file could not be read or decoded. A Picture whose
    // handle() is 0: the file decoded to an empty picture. The natural size
    // of a bitmap is its pixel size at the screen's resolution.
    // fitBox: the box, in pixels, the picture is fitted into when shown (see
    // fittedPixels()); the picture may then hold fewer pixels than the file
    // as long as they cover that view (Picture::isReduced()). Empty: every
    // pixel.
    [[nodiscard]] virtual std::optional<Picture> loadPicture(const QString &path,
                                                             QSize fitBox = {}) = 0;

    // Writes image as an uncompressed 24-bit BMP at its own pixel size,
    // replacing a file of that name. false: nothing usable was written.
    [[nodiscard]] virtual bool savePicture(const QImage &image, const QString &path) = 0;

    // The picture shown now and those likely to be loaded next: a service
    // may keep the one and decode the others ahead. Loading gives the same
    // result with or without it. fitBox: as for loadPicture().
    virtual void prefetch(const QString &current, const QStringList &next, QSize fitBox = {})
    {
        Q_UNUSED(current);
        Q_UNUSED(next);
        Q_UNUSED(fitBox);
    }
};

} // namespace vorlane
