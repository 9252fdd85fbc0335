// Draws the sample pictures shipped with the viewer: a few of every kind it
// opens. Usage: vorlane_make_samples OUTDIR

// C++
#include <cstdio>
#include <functional>

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

// Local
#include "data/writers/icon_writer.h"
#include "data/writers/gif_writer.h"
#include "data/writers/wmf_writer.h"

using namespace vorlane::writers;

namespace {

const QString kCaption = QStringLiteral("サンプル");

// A small fixed pseudo-random sequence, so every run draws the same pictures.
class Dice
{
public:
    explicit Dice(quint32 seed)
        : m_state(seed)
    {
    }

    int roll(int below)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return int((m_state >> 8) % quint32(below));
    }

private:
    quint32 m_state;
};

QFont captionFont(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({ QStringLiteral("DejaVu Sans"), QStringLiteral("IPAGothic"),
        QStringLiteral("IPAPGothic") });
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// White text on a translucent dark plate in the lower left corner.
void drawCaption(QPainter &p, const QString &text, int pixelSize, int margin)
{
    p.save();
    p.setFont(captionFont(pixelSize, true));
    const QRect bounds = p.fontMetrics().boundingRect(text).adjusted(-12, -8, 12, 8);
    const QRect plate(
        margin, p.device()->height() - margin - bounds.height(), bounds.width(), bounds.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawRoundedRect(plate, 8, 8);
    p.setPen(Qt::white);
    p.drawText(plate, Qt::AlignCenter, text);
    p.restore();
}

// A ridge line across the width, built from a few sines.
QPolygonF ridge(int width, int height, double base, double amplitude, int seed)
{
    QPolygonF poly;
    poly << QPointF(0, height);
    for (int x = 0; x <= width; x += 8) {
        const double t = double(x) / width;
        const double y = base
            - amplitude
                * (0.55 * qSin(t * 7.0 + seed) + 0.3 * qSin(t * 17.0 + seed * 2.1)
                    + 0.15 * qSin(t * 41.0 + seed * 0.7));
        poly << QPointF(x, y);
    }
    poly << QPointF(width, height);
    return poly;
}

QImage drawSunrise()
{
    const int w = 1280, h = 800, horizon = 540;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0.0, QColor(24, 32, 88));
    sky.setColorAt(0.55, QColor(196, 92, 110));
    sky.setColorAt(0.85, QColor(250, 160, 80));
    sky.setColorAt(1.0, QColor(255, 214, 130));
    p.fillRect(0, 0, w, horizon, sky);

    const QPointF sun(820, horizon - 20);
    QRadialGradient glow(sun, 260);
    glow.setColorAt(0.0, QColor(255, 250, 210, 255));
    glow.setColorAt(0.35, QColor(255, 220, 140, 160));
    glow.setColorAt(1.0, QColor(255, 180, 100, 0));
    p.fillRect(0, 0, w, horizon, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 246, 200));
    p.drawEllipse(sun, 70, 70);

    const QColor layers[] = { QColor(120, 70, 110), QColor(84, 48, 92), QColor(52, 30, 70) };
    for (int i = 0; i < 3; ++i) {
        p.setBrush(layers[i]);
        p.drawPolygon(ridge(w, horizon, horizon - 150 + i * 55, 90 - i * 20, i * 3 + 1));
    }

    QLinearGradient lake(0, horizon, 0, h);
    lake.setColorAt(0.0, QColor(230, 150, 110));
    lake.setColorAt(1.0, QColor(30, 30, 70));
    p.fillRect(0, horizon, w, h - horizon, lake);
    Dice dice(11);
    for (int y = horizon + 6; y < h; y += 9) {
        const int half = 20 + dice.roll(90) * (h - y) / (h - horizon);
        p.setBrush(QColor(255, 236, 180, 90 + dice.roll(100)));
        p.drawRoundedRect(QRectF(sun.x() - half + dice.roll(30) - 15, y, 2 * half, 3), 1.5, 1.5);
    }
    drawCaption(p, kCaption + QStringLiteral("  sunrise"), 34, 28);
    return img;
}

QImage drawHarbour()
{
    const int w = 1024, h = 683, waterline = 430;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, waterline);
    sky.setColorAt(0.0, QColor(70, 140, 210));
    sky.setColorAt(1.0, QColor(200, 228, 245));
    p.fillRect(0, 0, w, waterline, sky);
    p.setPen(Qt::NoPen);
    Dice dice(5);
    for (int c = 0; c < 5; ++c) {
        const QPointF at(80 + c * 210 + dice.roll(60), 70 + dice.roll(120));
        p.setBrush(QColor(255, 255, 255, 200));
        for (int puff = 0; puff < 5; ++puff)
            p.drawEllipse(at + QPointF(puff * 28 - 56, (puff % 2) * -14), 40, 26);
    }

    QLinearGradient sea(0, waterline, 0, h);
    sea.setColorAt(0.0, QColor(40, 110, 160));
    sea.setColorAt(1.0, QColor(10, 40, 80));
    p.fillRect(0, waterline, w, h - waterline, sea);
    p.setPen(QPen(QColor(255, 255, 255, 70), 2));
    for (int i = 0; i < 60; ++i) {
        const int x = dice.roll(w), y = waterline + 10 + dice.roll(h - waterline);
        p.drawLine(x, y, x + 20 + dice.roll(30), y);
    }

    // Pier and lighthouse on the right.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 80, 50));
    p.drawRect(700, waterline - 12, 324, 24);
    for (int x = 710; x < w; x += 40)
        p.drawRect(x, waterline + 10, 8, 60);
    const QPolygonF tower({ QPointF(860, waterline - 12), QPointF(940, waterline - 12),
        QPointF(920, 150), QPointF(880, 150) });
    p.setBrush(Qt::white);
    p.drawPolygon(tower);
    p.setBrush(QColor(200, 40, 40));
    const auto halfWidth = [&](double y) { return 20 + 20 * (y - 150) / (waterline - 162); };
    for (int band = 0; band < 3; ++band) {
        const double y0 = 190 + band * 80, y1 = y0 + 36;
        p.drawPolygon(
            QPolygonF({ QPointF(900 - halfWidth(y0), y0), QPointF(900 + halfWidth(y0), y0),
                QPointF(900 + halfWidth(y1), y1), QPointF(900 - halfWidth(y1), y1) }));
    }
    p.setBrush(QColor(255, 236, 150));
    p.drawRect(875, 118, 50, 32);
    p.setBrush(QColor(60, 60, 60));
    p.drawPolygon(QPolygonF({ QPointF(868, 118), QPointF(932, 118), QPointF(900, 92) }));

    // Three sailing boats.
    const QColor hulls[] = { QColor(150, 40, 40), QColor(30, 60, 120), QColor(60, 110, 60) };
    for (int b = 0; b < 3; ++b) {
        const double x = 120 + b * 200, y = waterline + 40 + b * 60, s = 0.8 + b * 0.25;
        p.setBrush(hulls[b]);
        p.drawPolygon(QPolygonF({ QPointF(x, y), QPointF(x + 140 * s, y),
            QPointF(x + 115 * s, y + 26 * s), QPointF(x + 20 * s, y + 26 * s) }));
        p.setBrush(QColor(250, 248, 240));
        p.drawPolygon(QPolygonF({ QPointF(x + 70 * s, y - 4), QPointF(x + 70 * s, y - 150 * s),
            QPointF(x + 130 * s, y - 8) }));
        p.drawPolygon(QPolygonF({ QPointF(x + 64 * s, y - 10), QPointF(x + 64 * s, y - 120 * s),
            QPointF(x + 20 * s, y - 10) }));
    }
    // Gulls.
    p.setPen(QPen(QColor(40, 40, 50), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int g = 0; g < 4; ++g) {
        const QPointF at(300 + g * 90 + dice.roll(40), 150 + dice.roll(80));
        QPainterPath path(at - QPointF(18, 0));
        path.quadTo(at + QPointF(-9, -12), at);
        path.quadTo(at + QPointF(9, -12), at + QPointF(18, 0));
        p.drawPath(path);
    }
    return img;
}

QImage drawTiles()
{
    const int w = 640, h = 480, cell = 40;
    const QColor colours[] = { QColor(238, 226, 200), QColor(30, 90, 140), QColor(200, 90, 40),
        QColor(230, 180, 60), QColor(40, 130, 100), QColor(120, 40, 90) };
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    Dice dice(3);
    p.setPen(Qt::NoPen);
    for (int y = 0; y < h; y += cell) {
        for (int x = 0; x < w; x += cell) {
            const int a = dice.roll(6);
            const int b = (a + 1 + dice.roll(5)) % 6;
            p.fillRect(x, y, cell, cell, colours[a]);
            p.setBrush(colours[b]);
            switch (dice.roll(4)) {
            case 0:
                p.drawPolygon(QPolygon({ QPoint(x, y), QPoint(x + cell, y), QPoint(x, y + cell) }));
                break;
            case 1:
                p.drawEllipse(QPoint(x + cell / 2, y + cell / 2), cell / 3, cell / 3);
                break;
            case 2:
                p.drawRect(x + cell / 4, y, cell / 2, cell);
                break;
            default:
                p.drawPie(QRect(x - cell, y - cell, 2 * cell, 2 * cell), -90 * 16, 90 * 16);
                break;
            }
        }
    }
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.setBrush(Qt::NoBrush);
    for (int x = 0; x <= w; x += cell)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y <= h; y += cell)
        p.drawLine(0, y, w, y);
    p.end();
    // Few colours and no antialiasing: an exact 8-bit palette.
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage drawStripes()
{
    const int w = 400, h = 300;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QColor colours[] = { QColor(228, 3, 3), QColor(255, 140, 0), QColor(255, 237, 0),
        QColor(0, 128, 38), QColor(0, 77, 255), QColor(117, 7, 135) };
    QPainterPath card;
    card.addRoundedRect(QRectF(0, 0, w, h), 40, 40);
    p.setClipPath(card);
    for (int i = -h / 30; i < (w + h) / 30 + 1; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours[(i % 6 + 6) % 6]);
        const int x = i * 30;
        p.drawPolygon(
            QPolygon({ QPoint(x, 0), QPoint(x + 30, 0), QPoint(x + 30 - h, h), QPoint(x - h, h) }));
    }
    p.setBrush(Qt::white);
    p.drawRect(40, 110, w - 80, 80);
    QFont font = captionFont(36, true);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(40, 110, w - 80, 80), Qt::AlignCenter, QStringLiteral("GIF 400×300"));
    return img;
}

QImage drawIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient face(0, 0, 0, 256);
    face.setColorAt(0.0, QColor(80, 170, 240));
    face.setColorAt(1.0, QColor(20, 70, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    // A lens: white ring, a dark pupil, a highlight.
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(128, 128), 84, 84);
    p.setBrush(QColor(20, 40, 70));
    p.drawEllipse(QPointF(128, 128), 52, 52);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(QPointF(108, 108), 16, 16);
    return img;
}

QByteArray drawShapes()
{
    const int w = 800, h = 600;
    WmfWriter wmf(w, h, 96);
    wmf.setNullPen();
    wmf.setBrush(QColor(245, 240, 228));
    wmf.rectangle(QRect(0, 0, w, h));

    wmf.setPen(QColor(200, 200, 200), 1);
    for (int x = 50; x < w; x += 50)
        wmf.line(QPoint(x, 0), QPoint(x, h));
    for (int y = 50; y < h; y += 50)
        wmf.line(QPoint(0, y), QPoint(w, y));

    wmf.setPen(QColor(20, 20, 20), 4);
    wmf.setBrush(QColor(220, 60, 50));
    wmf.ellipse(QRect(80, 80, 220, 220));
    wmf.setBrush(QColor(40, 110, 200));
    wmf.rectangle(QRect(340, 120, 200, 140));
    wmf.setBrush(QColor(240, 190, 40));
    QPolygon star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const int r = i % 2 ? 45 : 110;
        star << QPoint(660 + int(r * qCos(angle)), 200 + int(r * qSin(angle)));
    }
    wmf.polygon(star);
    wmf.setBrush(QColor(50, 150, 90));
    wmf.polygon(QPolygon({ QPoint(100, 540), QPoint(250, 340), QPoint(400, 540) }));
    wmf.setPen(QColor(120, 40, 140), 6, 0);
    wmf.line(QPoint(440, 350), QPoint(740, 430));
    wmf.setPen(QColor(120, 40, 140), 1, 2); // dotted
    wmf.line(QPoint(440, 430), QPoint(740, 350));

    wmf.setTextColor(QColor(20, 20, 60));
    wmf.text(QPoint(450, 450), "Vorlane", 72);
    return wmf.finish();
}

QImage drawNight()
{
    const int w = 600, h = 900, street = 760;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, street);
    sky.setColorAt(0.0, QColor(4, 6, 20));
    sky.setColorAt(1.0, QColor(30, 40, 90));
    p.fillRect(img.rect(), sky);

    Dice dice(42);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 260; ++i) {
        const int v = 140 + dice.roll(116);
        p.setBrush(QColor(v, v, 255 - dice.roll(40)));
        const double r = dice.roll(10) == 0 ? 2.2 : 1.0;
        p.drawEllipse(QPointF(dice.roll(w), dice.roll(street - 200)), r, r);
    }
    // Crescent moon with a glow.
    QRadialGradient halo(QPointF(430, 170), 140);
    halo.setColorAt(0.0, QColor(255, 250, 220, 90));
    halo.setColorAt(1.0, QColor(255, 250, 220, 0));
    p.setBrush(halo);
    p.drawEllipse(QPointF(430, 170), 140, 140);
    QPainterPath moon;
    moon.addEllipse(QPointF(430, 170), 60, 60);
    QPainterPath bite;
    bite.addEllipse(QPointF(455, 150), 52, 52);
    p.setBrush(QColor(250, 244, 210));
    p.drawPath(moon.subtracted(bite));

    // Skyline with lit windows.
    for (int x = -10; x < w;) {
        const int bw = 50 + dice.roll(60), bh = 120 + dice.roll(330);
        p.setBrush(QColor(14 + dice.roll(12), 16 + dice.roll(12), 30 + dice.roll(16)));
        p.drawRect(x, street - bh, bw, bh);
        for (int wy = street - bh + 12; wy < street - 16; wy += 22) {
            for (int wx = x + 8; wx < x + bw - 12; wx += 16) {
                if (dice.roll(3) == 0) {
                    p.setBrush(QColor(255, 210 + dice.roll(40), 120));
                    p.drawRect(wx, wy, 8, 12);
                }
            }
        }
        x += bw + 4;
    }
    p.fillRect(0, street, w, h - street, QColor(18, 18, 24));
    drawCaption(p, kCaption + QStringLiteral("  夜"), 30, 24);
    return img;
}

QImage drawGridClock()
{
    const int w = 400, h = 300;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(252, 252, 244));
    QPainter p(&img);
    for (int x = 0; x <= w; x += 10) {
        p.setPen(QColor(x % 50 ? 205 : 150, x % 50 ? 225 : 190, 240));
        p.drawLine(x, 0, x, h);
    }
    for (int y = 0; y <= h; y += 10) {
        p.setPen(QColor(y % 50 ? 205 : 150, y % 50 ? 225 : 190, 240));
        p.drawLine(0, y, w, y);
    }

    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(200, 140);
    const double r = 110;
    p.setPen(QPen(QColor(40, 40, 40), 4));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(c, r, r);
    p.setFont(captionFont(18, true));
    for (int i = 0; i < 60; ++i) {
        const double a = i * M_PI / 30;
        const QPointF dir(qSin(a), -qCos(a));
        p.setPen(QPen(QColor(40, 40, 40), i % 5 ? 1 : 3));
        p.drawLine(c + dir * (r - (i % 5 ? 6 : 12)), c + dir * (r - 2));
        if (i % 5 == 0) {
            const QPointF at = c + dir * (r - 28);
            p.drawText(QRectF(at.x() - 15, at.y() - 12, 30, 24), Qt::AlignCenter,
                QString::number(i ? i / 5 : 12));
        }
    }
    // Ten past ten.
    const auto hand = [&](double turns, double length, double width, const QColor &colour) {
        const double a = turns * 2 * M_PI;
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(qSin(a), -qCos(a)) * length);
    };
    hand((10 + 10 / 60.0) / 12, 55, 7, QColor(30, 30, 30));
    hand(10 / 60.0, 85, 4, QColor(30, 30, 30));
    hand(40 / 60.0, 90, 1.5, QColor(200, 30, 30));
    p.setBrush(QColor(200, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 5, 5);
    drawCaption(p, kCaption, 16, 8);
    return img;
}

bool saveWithQt(const QImage &img, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(img);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlane_make_samples OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    struct Sample
    {
        const char *name;
        std::function<bool(const QString &)> write;
    };
    const Sample samples[] = {
        { "01-sunrise.jpg",
            [](const QString &f) { return saveWithQt(drawSunrise(), f, "jpeg", 85); } },
        { "02-harbour.jpeg",
            [](const QString &f) { return saveWithQt(drawHarbour(), f, "jpeg", 85); } },
        { "03-tiles.bmp", [](const QString &f) { return saveWithQt(drawTiles(), f, "bmp"); } },
        { "04-stripes.gif", [](const QString &f) { return writeGif(drawStripes(), f); } },
        { "05-icon.ico",
            [](const QString &f) {
                return writeIcon({ drawIcon(256), drawIcon(32) }, f);
            } },
        { "06-shapes.wmf",
            [](const QString &f) {
                QFile file(f);
                const QByteArray bytes = drawShapes();
                return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
            } },
        { "07-night.jpg", [](const QString &f) { return saveWithQt(drawNight(), f, "jpeg", 85); } },
        { "08-grid.bmp", [](const QString &f) { return saveWithQt(drawGridClock(), f, "bmp"); } },
    };
    int failures = 0;
    for (const Sample &sample : samples) {
        const QString path = out.filePath(QString::fromLatin1(sample.name));
        if (sample.write(path)) {
            std::printf("%-16s %8lld bytes\n", sample.name, QFileInfo(path).size());
        } else {
            std::fprintf(stderr, "failed to write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
