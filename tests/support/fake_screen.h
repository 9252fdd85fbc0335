#pragma once

// Local
#include "platform/screen_service.h"

namespace vorlane::test {

// A screen of a chosen work area, at 96 dpi (15 twips per pixel) unless
// told otherwise.
class FakeScreen : public ScreenService
{
public:
    explicit FakeScreen(QSize workAreaPixels = QSize(1024, 720), double dpi = 96)
        : m_work(workAreaPixels), m_tpp(1440.0 / dpi)
    {
    }

    [[nodiscard]] double twipsPerPixelX() const override { return m_tpp; }
    [[nodiscard]] double twipsPerPixelY() const override { return m_tpp; }
    [[nodiscard]] QSizeF workArea() const override
    {
        return { m_work.width() * m_tpp, m_work.height() * m_tpp };
    }

private:
    QSize m_work;
    double m_tpp;
};

} // namespace vorlane::test
