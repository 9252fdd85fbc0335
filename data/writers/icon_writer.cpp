#include "data/writers/icon_writer.h"

// Qt
#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

namespace vorlane::writers {

namespace {

constexpr int kIconMax = 256;
constexpr int kIconDirSize = 6;
constexpr int kIconEntrySize = 16;

QByteArray encodeSingleIcon(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(img))
        return {};
    return bytes;
}

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

bool writeIcon(const QList<QImage> &images, const QString &path)
{
    // Each picture goes through Qt's single-image icon writer; the results
    // are merged under one directory.
    QByteArray entries;
    QByteArray payload;
    const int count = int(images.size());
    if (count == 0 || count > 0xffff)
        return false;
    for (const QImage &img : images) {
        if (img.width() > kIconMax || img.height() > kIconMax)
            return false;
        const QByteArray single = encodeSingleIcon(img);
        if (single.size() < kIconDirSize + kIconEntrySize)
            return false;
        QByteArray entry = single.mid(kIconDirSize, kIconEntrySize);
        const quint32 size = qFromLittleEndian<quint32>(entry.constData() + 8);
        const quint32 offset = qFromLittleEndian<quint32>(entry.constData() + 12);
        if (qsizetype(offset) + qsizetype(size) > single.size())
            return false;
        const quint32 newOffset = quint32(kIconDirSize + kIconEntrySize * count + payload.size());
        qToLittleEndian(newOffset, entry.data() + 12);
        entries.append(entry);
        payload.append(single.mid(offset, size));
    }
    QByteArray out;
    appendLe16(out, 0); // reserved
    appendLe16(out, 1); // icon
    appendLe16(out, quint16(count));
    out.append(entries);
    out.append(payload);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

} // namespace vorlane::writers
