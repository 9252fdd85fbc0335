#pragma once

// Qt
#include <QImage>
#include <QSizeF>

namespace vorlane {

// A decoded picture: the pixels and the natural size the viewer measures it
// by. A default-constructed Picture is an empty picture object (handle 0).
// Copies share the pixels (QImage is implicitly shared).
class Picture
{
public:
    Picture() = default;
    // himetric: the natural width and height in 1/100 mm.
    Picture(QImage image, QSizeF himetric);

    // Non-zero exactly when the picture holds pixels of positive size.
    [[nodiscard]] quintptr handle() const;
    [[nodiscard]] const QImage &image() const { return m_image; }
    // Natural size in HIMETRIC (1/100 mm).
    [[nodiscard]] QSizeF himetric() const { return m_himetric; }

private:
    QImage m_image;
    QSizeF m_himetric;
};

} // namespace vorlane
