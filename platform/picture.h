#pragma once

// Qt
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Std
#include <memory>

namespace vorlane {

// A file kept open while a picture decoded from it is held, shared by the
// picture's copies: on Linux its content stays readable through a move, a
// delete or a rename over it, so the picture shown stays the picture read.
using HeldFile = std::shared_ptr<const int>;
// Keeps a duplicate of the open descriptor fd; null when there is none.
[[nodiscard]] HeldFile holdFile(int fd);

// A decoded picture: the pixels and the natural size the viewer measures it
// by. A default-constructed Picture is an empty picture object (handle 0).
// Copies share the pixels (QImage is implicitly shared).
class Picture
{
public:
    Picture() = default;
    // himetric: the natural width and height in 1/100 mm. fullSource: the
    // file, kept open, that holds more pixels than image when the picture
    // was decoded for a smaller view; null when image holds all of them.
    // fittedView: image already shrunk to the surface of its fitted view
    // (may be null).
    Picture(QImage image, QSizeF himetric, HeldFile fullSource = {}, QImage fittedView = {});

    // Non-zero exactly when the picture holds pixels of positive size.
    [[nodiscard]] quintptr handle() const;
    [[nodiscard]] const QImage &image() const { return m_image; }
    // Natural size in HIMETRIC (1/100 mm).
    [[nodiscard]] QSizeF himetric() const { return m_himetric; }

    // True when the file has more pixels than are held.
    [[nodiscard]] bool isReduced() const { return bool(m_fullSource); }
    // A path that reads the file the picture was decoded from, as it was
    // then, while the picture is held; empty when it is not reduced.
    [[nodiscard]] QString fullSource() const;
    // The whole of image shrunk smoothly to this image's size, made ahead;
    // null when none was made.
    [[nodiscard]] const QImage &fittedView() const { return m_fittedView; }
    // True when the held pixels inside crop (twips of the natural size)
    // are at least as many as a view of viewPixels shows, to within half a
    // pixel: drawing it then never enlarges the held pixels.
    [[nodiscard]] bool coversView(const QRectF &crop, QSizeF viewPixels) const;

private:
    QImage m_image;
    QSizeF m_himetric;
    HeldFile m_fullSource;
    QImage m_fittedView;
};

} // namespace vorlane
