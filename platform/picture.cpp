#include "platform/picture.h"

namespace vorlane {

Picture::Picture(QImage image, QSizeF himetric) : m_image(std::move(image)), m_himetric(himetric)
{
}

quintptr Picture::handle() const
{
    // A picture of zero width or height counts as empty, like a null image.
    if (m_image.isNull() || m_image.width() <= 0 || m_image.height() <= 0)
        return 0;
    return reinterpret_cast<quintptr>(m_image.constBits());
}

} // namespace vorlane
