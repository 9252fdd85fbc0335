#pragma once

// Qt
#include <QList>
#include <QImage>
#include <QString>

namespace vorlane::writers {

// Writes an icon file holding every picture in images (each at most
// 256 x 256), in that order; false when one is too large or the file cannot
// be written.
bool writeIcon(const QList<QImage> &images, const QString &path);

} // namespace vorlane::writers
