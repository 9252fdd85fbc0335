// Files made to hurt: metafiles whose records take minutes, tiny files that
// decode to gigabytes or read without end, settings files that are not
// files, options meant for Qt on the command line, signals that keep coming.

// Qt
#include <QBuffer>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

// Local
#include "platform/ini_settings_store.h"
#include "platform/qt_picture_service.h"
#include "platform/termination_watcher.h"
#include "platform/wmf_decoder.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

namespace {

// A point sequence scattered over a box, the same on every run.
QPolygon scattered(int count, int side, quint32 seed = 1)
{
    QPolygon points;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        points << QPoint(int((seed >> 8) % quint32(side)), int((seed >> 20) % quint32(side)));
    }
    return points;
}

QByteArray gifClaiming(int side)
{
    Sandbox box;
    writeGifHeaderClaiming(box.file(QStringLiteral("g.gif")), side, side);
    QFile file(box.file(QStringLiteral("g.gif")));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray jpeg(QSize size, int exifOrientation = 0)
{
    Sandbox box;
    const QString path = box.file(QStringLiteral("j.jpg"));
    if (exifOrientation)
        writeJpegWithOrientation(makePattern(16, 16), path, exifOrientation);
    else
        makePattern(16, 16).save(path, "JPEG");
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray bytes = file.readAll();
    // The frame header holds the height, then the width.
    const qsizetype sof = bytes.indexOf("\xff\xc0");
    qToBigEndian(quint16(size.height()), bytes.data() + sof + 5);
    qToBigEndian(quint16(size.width()), bytes.data() + sof + 7);
    return bytes;
}

// A run-length coded 8-bit bitmap of the given size whose only record ends it.
QByteArray rle8Bmp(int side)
{
    QByteArray bmp(14 + 40 + 1024, '\0');
    char *p = bmp.data();
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian(quint32(bmp.size() + 2), p + 2);
    qToLittleEndian(quint32(bmp.size()), p + 10);
    for (const auto &[at, value] : { std::pair(14, 40), std::pair(18, side), std::pair(22, side),
                                    std::pair(34, 2), std::pair(46, 256) })
        qToLittleEndian(quint32(value), p + at);
    qToLittleEndian(quint16(1), p + 26);
    qToLittleEndian(quint16(8), p + 28);
    qToLittleEndian(quint32(1), p + 30); // run-length coded
    return bmp + QByteArray("\x00\x01", 2);
}

// An icon whose directory says 256 x 256 over a PNG of side x side.
QByteArray iconHoldingPng(int side)
{
    QImage mono(side, side, QImage::Format_Mono);
    mono.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    mono.save(&buffer, "PNG");
    QByteArray ico(6 + 16, '\0');
    ico[2] = 1;
    ico[4] = 1;
    qToLittleEndian(quint16(1), ico.data() + 6 + 4);
    qToLittleEndian(quint16(32), ico.data() + 6 + 6);
    qToLittleEndian(quint32(png.size()), ico.data() + 6 + 8);
    qToLittleEndian(quint32(ico.size()), ico.data() + 6 + 12);
    return ico + png;
}

// Decodes path in a fresh process (this program, run with --decode) and
// returns its peak memory in MB, with the time the decode took.
std::pair<qint64, qint64> decodeAlone(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--decode"), path });
    if (!child.waitForFinished(120'000))
        return { -1, -1 };
    const QList<QByteArray> figures = child.readAllStandardOutput().split(' ');
    return { figures.value(0).toLongLong() / 1024, figures.value(1).trimmed().toLongLong() };
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void metafileIsDrawnWithinSeconds_data();
    void metafileIsDrawnWithinSeconds();
    void tinyFileStaysUnderMemory_data();
    void tinyFileStaysUnderMemory();
    void settingsFileThatIsNoFile();
    void commandLineWithQtOptions();
    void secondSignalEndsAtOnce();
};

void TestHostile::metafileIsDrawnWithinSeconds_data()
{
    QTest::addColumn<QByteArray>("metafile");
    const auto drawn = [](auto draw) {
        WmfWriter w(1000, 1000, 96);
        w.setPen(Qt::black, 10);
        w.setBrush(Qt::red);
        draw(w);
        return w.finish();
    };
    QTest::newRow("polygon of 65535 points")
        << drawn([](WmfWriter &w) { w.polygon(scattered(65535, 1000)); });
    QTest::newRow("wide polyline of 65535 points")
        << drawn([](WmfWriter &w) { w.polygon(scattered(65535, 1000), false); });
    QTest::newRow("10000 triangles") << drawn([](WmfWriter &w) {
        QList<QPolygon> triangles;
        for (int i = 0; i < 10000; ++i)
            triangles << scattered(3, 1000, i);
        w.polyPolygon(triangles);
    });
    QTest::newRow("200000 nested saves") << drawn([](WmfWriter &w) {
        w.rectangle(QRect(0, 0, 500, 500));
        for (int i = 0; i < 200000; ++i)
            w.saveDc();
    });
}

void TestHostile::metafileIsDrawnWithinSeconds()
{
    QFETCH(QByteArray, metafile);
    QElapsedTimer clock;
    clock.start();
    const std::optional<DecodedMetafile> decoded = decodeWmf(metafile, 96, 96);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(decoded);
    // What was drawn by the time limit is the picture.
    QCOMPARE(decoded->image.pixelColor(250, 250).rgb() != qRgb(255, 255, 255), true);
}

void TestHostile::tinyFileStaysUnderMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("followingZeros");
    const QByteArray smallJpeg = jpeg(QSize(16, 16));
    const QByteArray smallGif = gifClaiming(16);
    constexpr qint64 gigabytes8 = 8LL << 30;
    QTest::newRow("gif screen") << gifClaiming(15800) << 0LL;
    QTest::newRow("jpeg") << jpeg(QSize(15800, 15800)) << 0LL;
    QTest::newRow("rle8 bmp") << rle8Bmp(15800) << 0LL;
    QTest::newRow("icon holding a large png") << iconHoldingPng(15800) << 0LL;
    QTest::newRow("jpeg turned upright") << jpeg(QSize(15800, 15800), 6) << 0LL;
    QTest::newRow("jpeg then zeros")
        << smallJpeg.left(smallJpeg.lastIndexOf("\xff\xda") + 14) << gigabytes8;
    QTest::newRow("gif then zeros") << smallGif.left(smallGif.size() - 1) << gigabytes8;
}

void TestHostile::tinyFileStaysUnderMemory()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, followingZeros);
    Sandbox box;
    QFile file(box.write(QStringLiteral("bomb"), bytes));
    // The zeros take no room on disk: the file is sparse.
    QVERIFY(file.resize(bytes.size() + followingZeros));
    const auto [peakMb, ms] = decodeAlone(file.fileName());
    QVERIFY2(peakMb > 0 && peakMb < 1500, qPrintable(QString::number(peakMb)));
    QVERIFY2(ms < 10'000, qPrintable(QString::number(ms)));
}

void TestHostile::settingsFileThatIsNoFile()
{
    Sandbox box;
    IniSettingsStore store(box.path());
    const QString file = store.fileFor(QStringLiteral("vorlane"));
    QDir().mkpath(QFileInfo(file).path());
    // A pipe would block the reader for ever; nothing is written over it.
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    QCOMPARE(store.getSetting("vorlane", "window", "Top", "none"), QStringLiteral("none"));
    store.saveSetting("vorlane", "window", "Top", "5");
    QVERIFY(!QFileInfo(file).isFile());
    QFile::remove(file);

    // A file Qt cannot read is kept beside the one written.
    const QByteArray scrambled("[window\n\x01\xfe=[[\n=]\\x");
    box.write(QStringLiteral("vorlane/vorlane.conf"), scrambled);
    store.saveSetting("vorlane", "window", "Top", "5");
    QFile backup(file + QStringLiteral(".bak"));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), scrambled);
    QCOMPARE(store.getSetting("vorlane", "window", "Top", "none"), QStringLiteral("5"));

    // Without a home, nothing is stored at the file system's root.
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    IniSettingsStore homeless;
    qputenv("HOME", home);
    if (!configHome.isEmpty())
        qputenv("XDG_CONFIG_HOME", configHome);
    homeless.saveSetting("vorlane", "window", "Top", "5");
    QVERIFY(!QFile::exists(QStringLiteral("/.config/vorlane/vorlane.conf")));
}

void TestHostile::commandLineWithQtOptions()
{
    Sandbox box;
    const QString picture = box.picture(QStringLiteral("p.bmp"), QSize(20, 10));
    QProcess vorlane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), box.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), box.path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vorlane.timing=true"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    vorlane.setProcessEnvironment(env);
    // Options Qt takes are no part of the path.
    vorlane.start(QStringLiteral(VORLANE_BINARY),
                  { QStringLiteral("-platform"), QStringLiteral("offscreen"),
                    QStringLiteral("-reverse"), QStringLiteral("-style"),
                    QStringLiteral("Fusion"), picture });
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += vorlane.readAllStandardError()).contains("shown p.bmp"),
                             20'000);
    vorlane.terminate();
    QVERIFY(vorlane.waitForFinished());

    // A display nobody serves: a clear message and a plain failure.
    vorlane.start(QStringLiteral(VORLANE_BINARY), { QStringLiteral("-display"),
                                                    QStringLiteral(":9876"), picture });
    QVERIFY(vorlane.waitForFinished());
    QCOMPARE(vorlane.exitStatus(), QProcess::NormalExit);
    QCOMPARE(vorlane.exitCode(), 1);
    QVERIFY(vorlane.readAllStandardError().contains("display :9876"));
}

void TestHostile::secondSignalEndsAtOnce()
{
    // The child's event loop never runs: the first signal waits unhandled.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--signal-twice") });
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
}

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--signal-twice") == 0) {
        QCoreApplication app(argc, argv);
        TerminationWatcher watcher;
        ::raise(SIGTERM);
        ::raise(SIGTERM);
        return 0;
    }
    if (argc == 3 && qstrcmp(argv[1], "--decode") == 0) {
        QCoreApplication app(argc, argv);
        QElapsedTimer clock;
        clock.start();
        const auto decoded = decodePictureFile(QString::fromLocal8Bit(argv[2]), 96, 96);
        Q_UNUSED(decoded);
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld %lld\n", usage.ru_maxrss, qint64(clock.elapsed()));
        return 0;
    }
    QApplication app(argc, argv);
    TestHostile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hostile.moc"
