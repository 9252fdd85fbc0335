#include "platform/picture.h"

// Std
#include <fcntl.h>
#include <unistd.h>

// Local
#include "platform/screen_service.h"

namespace vorlane {

HeldFile holdFile(int fd)
{
    const int held = fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (held < 0)
        return {};
    return HeldFile(new int(held), [](const int *p) {
        ::close(*p);
        delete p;
    });
}

QString Picture::fullSource() const
{
    return m_fullSource ? QStringLiteral("/proc/self/fd/%1").arg(*m_fullSource) : QString();
}

Picture::Picture(QImage image, QSizeF himetric, HeldFile fullSource, QImage fittedView)
    : m_image(std::move(image)),
      m_himetric(himetric),
      m_fullSource(std::move(fullSource)),
      m_fittedView(std::move(fittedView))
{
}

quintptr Picture::handle() const
{
    // A picture of zero width or height counts as empty, like a null image.
    if (m_image.isNull() || m_image.width() <= 0 || m_image.height() <= 0)
        return 0;
    return reinterpret_cast<quintptr>(m_image.constBits());
}

bool Picture::coversView(const QRectF &crop, QSizeF viewPixels) const
{
    const double naturalW = ScreenService::himetricToTwips(m_himetric.width());
    const double naturalH = ScreenService::himetricToTwips(m_himetric.height());
    if (naturalW <= 0 || naturalH <= 0)
        return true;
    const double heldW = crop.width() * m_image.width() / naturalW;
    const double heldH = crop.height() * m_image.height() / naturalH;
    return heldW + 0.5 >= viewPixels.width() && heldH + 0.5 >= viewPixels.height();
}

} // namespace vorlane
