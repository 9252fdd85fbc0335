// Writes the seed inputs of the fuzz targets, one folder per target, made
// by our own writers. Usage: fuzz_make_seeds OUTDIR

// Qt
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

// Std
#include <cstdio>

// Local
#include "data/writers/gif_writer.h"
#include "data/writers/icon_writer.h"
#include "data/writers/wmf_writer.h"

using namespace vorlane::writers;

namespace {

QImage smallPicture(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, format);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(0, 0, 255, 128));
    return img;
}

QByteArray encoded(const QImage &img, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

QByteArray metafile(bool placeable)
{
    WmfWriter w(400, 300, 1440, placeable);
    w.setPen(Qt::black, 3);
    w.setBrush(Qt::yellow);
    w.rectangle(QRect(10, 10, 200, 100));
    w.ellipse(QRect(50, 50, 300, 200));
    w.polygon(QPolygon({ { 0, 0 }, { 400, 300 }, { 0, 300 }, { 400, 0 } }));
    w.polygon(QPolygon({ { 5, 5 }, { 100, 250 }, { 390, 20 } }), false);
    w.polyPolygon({ QPolygon({ { 0, 0 }, { 50, 0 }, { 0, 50 } }),
        QPolygon({ { 100, 100 }, { 150, 100 }, { 100, 150 } }) });
    w.saveDc();
    w.setNullPen();
    w.line(QPoint(0, 299), QPoint(399, 0));
    w.setTextColor(Qt::blue);
    w.text(QPoint(20, 20), "Seed", 40);
    w.text(QPoint(20, 120), QByteArray("\x83\x54\x83\x93\x83\x76\x83\x8B"), 40, 128);
    w.stretchDib(smallPicture(8, 6), QRect(200, 150, 100, 80));
    return w.finish();
}

bool write(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: fuzz_make_seeds OUTDIR\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const char *target :
        { "metafile", "picture_load", "command_line", "numbers", "undo_entry", "memo" })
        ok &= out.mkpath(QLatin1String(target));
    const QDir wmf(out.filePath(QStringLiteral("metafile")));
    const QDir load(out.filePath(QStringLiteral("picture_load")));
    const QDir text(out.filePath(QStringLiteral("command_line")));
    const QDir number(out.filePath(QStringLiteral("numbers")));
    const QDir undo(out.filePath(QStringLiteral("undo_entry")));
    const QDir memo(out.filePath(QStringLiteral("memo")));

    ok &= write(wmf, QStringLiteral("placeable.wmf"), metafile(true));
    ok &= write(wmf, QStringLiteral("standard.wmf"), metafile(false));
    ok &= write(load, QStringLiteral("drawing.wmf"), metafile(true));
    const QImage picture = smallPicture(17, 11);
    const QImage alpha = smallPicture(16, 16, QImage::Format_ARGB32);
    ok &= write(load, QStringLiteral("picture.bmp"), encoded(picture, "BMP"));
    ok &= write(load, QStringLiteral("indexed.bmp"),
        encoded(picture.convertToFormat(QImage::Format_Indexed8), "BMP"));
    ok &= write(load, QStringLiteral("picture.jpg"), encoded(picture, "JPEG"));
    ok &= write(load, QStringLiteral("picture.gif"), encodeGif(alpha));
    ok &= writeIcon({ alpha, smallPicture(32, 32, QImage::Format_ARGB32) },
        load.filePath(QStringLiteral("picture.ico")));

    const char *commandLines[]
        = { "pic.jpg", "-A \"/tmp/a b/pic.bmp\"", "  \"\"x\"\" ", "-A", "\"", "../up/も.gif" };
    for (int i = 0; i < int(std::size(commandLines)); ++i)
        ok &= write(text, QString::number(i), commandLines[i]);
    const char *numbers[] = { "100", " -66.66666", "+.5x", "1e5", "99999999999999999999",
        "3.4028235e38", "0.0000001" };
    for (int i = 0; i < int(std::size(numbers)); ++i)
        ok &= write(number, QString::number(i), numbers[i]);
    const char *undoEntries[] = { "100,0,0,9600,7200", "66.66666,15,30,900,600", "0,1,1,1,1",
        "1e3,0,0,1,1", "-5.5,-2147483648,2147483647,1,1" };
    for (int i = 0; i < int(std::size(undoEntries)); ++i)
        ok &= write(undo, QString::number(i), undoEntries[i]);
    // Memo files: line ends of every kind, code page 932, UTF-8 with and
    // without a byte-order mark.
    const char *memos[] = { "A\r\nB\rC\nD", "\x82\xA0\x87\x40\xB1\r\n",
        "\xE3\x83\xA1\xE3\x83\xA2\r\n", "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n\r\n" };
    for (int i = 0; i < int(std::size(memos)); ++i)
        ok &= write(memo, QString::number(i), memos[i]);
    return ok ? 0 : 1;
}
