#pragma once

// Qt
#include <QImage>

namespace vorlane {

// The system clipboard, as far as the viewer uses it: bitmaps only.
class ClipboardService
{
public:
    virtual ~ClipboardService() = default;

    // Removes every format.
    virtual void clear() = 0;
    // Offers image as a bitmap (other programs see PNG, BMP and more).
    virtual void setImage(const QImage &image) = 0;
    // True when the clipboard holds a bitmap.
    [[nodiscard]] virtual bool hasImage() const = 0;
    // The clipboard's bitmap; a null image when it holds none.
    [[nodiscard]] virtual QImage image() const = 0;
};

} // namespace vorlane
