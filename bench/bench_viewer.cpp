// Measures what users of a viewer feel: opening a large photo, stepping to
// the next one, starting the program with a photo, scanning a big folder,
// and the memory a shown photo takes. Prints the figures beside the targets.
//
//   bench_viewer [--quick] [--vorlane PATH]
//
// --quick uses smaller pictures and folders (a smoke run, not a measure).

// Qt
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

// Std
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Local
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

namespace {

struct Options
{
    bool quick = false;
    QString vorlane = QStringLiteral(VORLANE_BINARY);
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// A photo-like picture: smooth gradients, shapes and fine noise, so that
// the JPEG codec has real work (a flat picture decodes unrealistically fast).
QImage makePhoto(QSize size, quint32 seed)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(int(seed * 37 % 360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(int(seed * 91 % 360), 200, 90));
    p.fillRect(img.rect(), sky);
    for (int i = 0; i < 60; ++i) {
        p.setBrush(QColor::fromHsv(rng.bounded(360), rng.bounded(255), rng.bounded(255), 160));
        p.setPen(Qt::NoPen);
        const int r = rng.bounded(size.width() / 6) + 10;
        p.drawEllipse(QPoint(rng.bounded(size.width()), rng.bounded(size.height())), r, r);
    }
    p.end();
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng.generate() % 25) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                           qBound(0, qBlue(c) + n, 255));
        }
    }
    return img;
}

double bareDecode(const QString &path)
{
    return timeMs([&] {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage img = reader.read();
        if (img.isNull())
            std::fprintf(stderr, "bare decode failed: %s\n", qPrintable(path));
    });
}

struct Launch
{
    double readyMs = -1;
    double peakMiB = -1;
};

// Starts the real program on a picture and waits for its "ready" trace line:
// the whole-process time to the first drawn view, and its peak memory then.
Launch launch(const QString &vorlane, const QString &picture, const QString &configHome)
{
    Launch result;
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "vorlane.timing=true");
    env.insert("XDG_CONFIG_HOME", configHome);
    proc.setProcessEnvironment(env);
    proc.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    proc.start(vorlane, { picture });
    if (!proc.waitForStarted(5000))
        return result;
    QByteArray err;
    while (t.elapsed() < 30000) {
        proc.waitForReadyRead(100);
        err += proc.readAll();
        if (err.contains("ready ")) {
            result.readyMs = double(t.nsecsElapsed()) / 1e6;
            break;
        }
        if (proc.state() != QProcess::Running)
            break;
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(proc.processId()));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                result.peakMiB = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    proc.kill();
    proc.waitForFinished(5000);
    return result;
}

void row(const char *figure, const QString &measured, const QString &target)
{
    std::printf("%-44s %-22s %s\n", figure, qPrintable(measured), qPrintable(target));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options opt;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--quick")
            opt.quick = true;
        else if (args[i] == "--vorlane" && i + 1 < args.size())
            opt.vorlane = args[++i];
    }
    const QSize photoSize = opt.quick ? QSize(1200, 800) : QSize(6000, 4000);
    const int photos = 5;
    const int scanCount = opt.quick ? 3000 : 30000;

    Sandbox box;
    std::printf("Making %d test photos of %dx%d...\n", photos, photoSize.width(),
                photoSize.height());
    std::fflush(stdout);
    QStringList paths;
    for (int i = 0; i < photos; ++i) {
        const QString path = box.file(QStringLiteral("photos/photo%1.jpg").arg(i));
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        writer.write(makePhoto(photoSize, quint32(i + 1)));
        paths << path;
    }
    const double megabytes = QFileInfo(paths[0]).size() / 1048576.0;

    // Bare decode: what any program reading the file pays.
    std::vector<double> bare;
    for (int i = 0; i < photos; ++i)
        bare.push_back(bareDecode(paths[i]));
    const double decodeMs = median(bare);

    // Open: load until the view is drawn, nothing decoded ahead.
    std::vector<double> open;
    {
        Viewer v(box.path());
        v->Form_Load("");
        for (int i = 0; i < photos; ++i)
            open.push_back(timeMs([&] { v->LoadPictureFile(paths[i]); }));
    }
    const double openMs = median(open);

    // Step: Space at a human pace, the neighbours decoded ahead meanwhile.
    std::vector<double> step;
    {
        Viewer v(box.path(), QSize(1920, 1040), true);
        v->Form_Load("");
        v->OpenPath(paths[0]);
        for (int i = 0; i < 2 * photos; ++i) {
            v.ahead.waitForAll(); // the user looks at the picture a while
            // A step key shows its picture once the waiting events are handled.
            step.push_back(timeMs([&] {
                v->Picture1_KeyDown(32, 0);
                QCoreApplication::sendPostedEvents();
            }));
        }
    }
    const double stepMs = median(step);

    // Start-up of the real program with a photo, and its peak memory.
    std::vector<double> ready;
    double peak = -1;
    QTemporaryDir config;
    for (int i = 0; i < 3; ++i) {
        const Launch l = launch(opt.vorlane, paths[i], config.path());
        if (l.readyMs >= 0)
            ready.push_back(l.readyMs);
        peak = std::max(peak, l.peakMiB);
    }

    // Scan: a folder of many files.
    const QString big = box.path() + QStringLiteral("/big/");
    QDir().mkpath(big);
    for (int i = 0; i < scanCount; ++i) {
        QFile f(big + QStringLiteral("img%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        f.open(QIODevice::WriteOnly);
    }
    std::vector<double> scan;
    {
        Viewer v(box.path());
        v->Form_Load("");
        for (int i = 0; i < 3; ++i)
            scan.push_back(timeMs([&] { v->ScanFolder(big, big + "img00000.jpg"); }));
    }

    std::printf("\nPhoto: %dx%d JPEG, %.1f MiB; %s\n\n", photoSize.width(), photoSize.height(),
                megabytes, opt.quick ? "QUICK RUN (not a measure)" : "full run");
    std::printf("%-44s %-22s %s\n", "figure", "measured", "target");
    row("bare decode (QImageReader)", QString::asprintf("%.0f ms", decodeMs), "-");
    row("open: load until drawn / bare decode",
        QString::asprintf("%.0f ms = %.2f", openMs, openMs / decodeMs), "<= 1.30");
    row("step: Space to next drawn / bare decode",
        QString::asprintf("%.0f ms = %.2f", stepMs, stepMs / decodeMs), "<= 0.25");
    row("start-up: launch to first drawn view",
        ready.empty() ? QStringLiteral("n/a") : QString::asprintf("%.0f ms", median(ready)),
        QString::asprintf("(bare decode %.0f ms)", decodeMs));
    row(qPrintable(QStringLiteral("scan: ScanFolder of %1 files").arg(scanCount)),
        QString::asprintf("%.0f ms", median(scan)), "< 500 ms");
    row("peak memory with the photo shown",
        peak < 0 ? QStringLiteral("n/a") : QString::asprintf("%.0f MiB", peak), "-");
    return 0;
}
