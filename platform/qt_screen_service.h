#pragma once

// Qt
#include <QPointer>
#include <QWidget>

// Local
#include "platform/screen_service.h"

namespace vorlane {

// The screen of a window (else the primary screen), as Qt reports it.
class QtScreenService : public ScreenService
{
public:
    // Follow the screen this window is on; nullptr: the primary screen.
    void setWindow(QWidget *window) { m_window = window; }

    [[nodiscard]] double twipsPerPixelX() const override;
    [[nodiscard]] double twipsPerPixelY() const override;
    [[nodiscard]] QSizeF workArea() const override;

private:
    [[nodiscard]] class QScreen *screen() const;
    QPointer<QWidget> m_window;
};

} // namespace vorlane
