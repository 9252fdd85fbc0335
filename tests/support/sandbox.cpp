#include "support/sandbox.h"

// Local
#include "app/fitting.h"
#include "support/fixtures.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorlane::test {

QString Sandbox::file(const QString &name) const
{
    const QString full = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    return full;
}

QString Sandbox::write(const QString &name, const QByteArray &bytes) const
{
    const QString full = file(name);
    QFile f(full);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return full;
}

QString Sandbox::picture(const QString &name, QSize size, const char *kind,
                         const QColor &base) const
{
    const QString full = file(name);
    writePicture(makePattern(size.width(), size.height(), base), full, kind);
    return full;
}

Viewer::Viewer(const QString &configHome, QSize workAreaPixels, bool decodeAhead)
    : screen(workAreaPixels),
      settings(configHome),
      pictures(screen, decodeAhead ? &ahead : nullptr),
      m_services { pictures, screen, dialogs, clipboard, settings, folders, sound, shell },
      m_vane(std::make_unique<VANE>(m_services))
{
    // As the program does: first views come shrunk ahead.
    pictures.setFittedSurface(fittedSurfacePixels);
}

QRgb rgbAt(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xffffff;
}

QRect inkBox(const QImage &image, QRgb background, int tolerance)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!closeColor(rgbAt(image, x, y), background, tolerance))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool closeColor(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace vorlane::test
