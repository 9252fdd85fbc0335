// Files made to hurt: metafiles whose records take minutes, tiny files that
// decode to gigabytes or read without end, settings files that are not
// files, options meant for Qt on the command line, signals that keep coming,
// and every input that once crashed a fuzz target or took it too long.

// Qt
#include <QDirIterator>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

// Std
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

// Local
#include "fuzz/fuzz_entries.h"
#include "platform/termination_watcher.h"
#include "platform/wmf_decoder.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small JPEG whose frame header claims side x side.
QByteArray jpegClaiming(const Sandbox &box, int side, int exifOrientation)
{
    writeJpegWithOrientation(makePattern(16, 16), box.file(QStringLiteral("j")), exifOrientation);
    QByteArray bytes = bytesOf(box.file(QStringLiteral("j")));
    const qsizetype frame = bytes.indexOf("\xff\xc0");
    qToBigEndian(quint16(side), bytes.data() + frame + 5);
    qToBigEndian(quint16(side), bytes.data() + frame + 7);
    return bytes;
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void metafileIsDrawnWithinSeconds_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("polygon") << true;
        QTest::newRow("wide polyline") << false;
    }

    void metafileIsDrawnWithinSeconds()
    {
        QFETCH(bool, closed);
        // 65535 points scattered over a 1000-pixel square, the same on every run.
        QPolygon points;
        for (quint32 i = 0, seed = 1; i < 65535; ++i) {
            seed = seed * 1664525u + 1013904223u;
            points << QPoint(int((seed >> 8) % 1000u), int((seed >> 20) % 1000u));
        }
        WmfWriter w(1000, 1000, 96);
        w.setPen(Qt::black, 10);
        w.setBrush(Qt::red);
        w.polygon(points, closed);
        QElapsedTimer clock;
        clock.start();
        const std::optional<DecodedMetafile> decoded = decodeWmf(w.finish(), 96, 96);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        // What was drawn by the time limit is the picture.
        QVERIFY(decoded);
        QImage blank(decoded->image.size(), decoded->image.format());
        blank.fill(Qt::white);
        QVERIFY(decoded->image != blank);
    }

    void tinyFileStaysWithinLimits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("followingZeros");
        Sandbox box;
        writeGifHeaderClaiming(box.file(QStringLiteral("small")), 16, 16);
        const QByteArray smallGif = bytesOf(box.file(QStringLiteral("small")));
        const QByteArray smallJpeg = jpegClaiming(box, 16, 1);
        QTest::newRow("jpeg turned upright") << jpegClaiming(box, 15800, 6) << 0LL;
        QTest::newRow("jpeg then zeros")
            << smallJpeg.left(smallJpeg.lastIndexOf("\xff\xda") + 14) << (8LL << 30);
        QTest::newRow("gif then zeros") << smallGif.left(smallGif.size() - 1) << (8LL << 30);
    }

    // Each file is decoded alone in a fresh process (this program with
    // --decode), whose peak memory and time are the figures.
    void tinyFileStaysWithinLimits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, followingZeros);
        Sandbox box;
        QFile file(box.write(QStringLiteral("bomb"), bytes));
        QVERIFY(file.resize(bytes.size() + followingZeros)); // sparse: no room on disk
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { "--decode", file.fileName() });
        QVERIFY(child.waitForFinished(60'000));
        const QList<QByteArray> figures = child.readAllStandardOutput().split(' ');
        QVERIFY2(figures.value(0).toLongLong() / 1024 < 1500, figures.value(0));
        QVERIFY2(figures.value(1).toLongLong() < 10'000, figures.value(1));
    }

    void settingsFileThatIsNoFile()
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
        // A file Qt cannot read is kept beside the one written.
        QFile::remove(file);
        box.write(QStringLiteral("vorlane/vorlane.conf"), "[window\n=[[\n");
        store.saveSetting("vorlane", "window", "Top", "5");
        QCOMPARE(bytesOf(file + ".bak"), QByteArray("[window\n=[[\n"));
        QCOMPARE(store.getSetting("vorlane", "window", "Top", "none"), QStringLiteral("5"));
        // Without a home, nothing is stored at the file system's root.
        const QByteArray home = qgetenv("HOME");
        qunsetenv("HOME");
        IniSettingsStore homeless;
        qputenv("HOME", home);
        homeless.saveSetting("vorlane", "window", "Top", "5");
        QVERIFY(!QFile::exists(QStringLiteral("/.config/vorlane/vorlane.conf")));
    }

    void commandLineWithQtOptions()
    {
        Sandbox box;
        const QString picture = box.picture(QStringLiteral("p.bmp"), QSize(20, 10));
        QProcess vorlane;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", box.path());
        env.insert("QT_LOGGING_RULES", "vorlane.timing=true");
        env.remove("QT_QPA_PLATFORM");
        vorlane.setProcessEnvironment(env);
        // Options Qt takes are no part of the path.
        vorlane.start(
            VORLANE_BINARY, { "-platform", "offscreen", "-reverse", "-style", "Fusion", picture });
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += vorlane.readAllStandardError()).contains("shown p.bmp"), 20'000);
        vorlane.terminate();
        QVERIFY(vorlane.waitForFinished());
        // A display nobody serves: a clear message and a plain failure.
        vorlane.start(VORLANE_BINARY, { "-display", ":9876", picture });
        QVERIFY(vorlane.waitForFinished());
        QCOMPARE(vorlane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vorlane.exitCode(), 1);
        QVERIFY(vorlane.readAllStandardError().contains("display :9876"));
    }

    // Kept under tests/data/fuzz/<target>/, each goes through its target again.
    void keptFuzzInputFinishes_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(VORLANE_SOURCE_DIR "/tests/data/fuzz", QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(path.section(QLatin1Char('/'), -2))) << path;
        }
    }

    void keptFuzzInputFinishes()
    {
        if (!QTest::currentDataTag())
            QSKIP("no inputs kept");
        QFETCH(QString, path);
        const auto entry = fuzz::entryNamed(path.section(QLatin1Char('/'), -2, -2));
        QVERIFY(entry);
        QElapsedTimer clock;
        clock.start();
        entry(bytesOf(path));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void secondSignalEndsAtOnce()
    {
        // The child's event loop never runs: its first signal waits unhandled.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { "--signal-twice" });
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }
};

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "--decode" || mode == "--signal-twice") {
        QCoreApplication app(argc, argv);
        TerminationWatcher watcher;
        QElapsedTimer clock;
        clock.start();
        if (mode == "--decode")
            (void)decodePictureFile(QString::fromLocal8Bit(argv[2]), 96, 96);
        else
            std::raise(SIGTERM), std::raise(SIGTERM);
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
