// Decoding under load and files made to hurt. Tiny files that decode to
// gigabytes or read without end, and a folder of them decoded ahead, stay
// within memory and read no further than they must; one too short for the
// size it claims is cheap and looks as its whole decode would. Holding
// fewer pixels than the file has must never show, and queued step keys must
// end as if every picture had been shown, reading only the one they end on.
// Options meant for Qt on the command line, neighbours still decoding at
// exit, signals that keep coming, and every input that once crashed a fuzz
// target or took it too long. Metafiles made to hurt: test_platform.

// Qt
#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QDirIterator>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

// Std
#include <csignal>

// Local
#include "data/writers/wmf_writer.h"
#include "fuzz/fuzz_entries.h"
#include "platform/termination_watcher.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;
using vorlane::writers::WmfWriter;

namespace {

// Starts the program itself on args (its settings in box, its timings
// logged, Qt's platform taken from args) and returns its output once that
// holds awaited, or after a minute.
QByteArray startVorlane(QProcess &vorlane, const Sandbox &box, const QStringList &args,
    const QByteArray &awaited)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", box.path());
    env.insert("QT_LOGGING_RULES", "vorlane.timing=true");
    env.remove("QT_QPA_PLATFORM");
    vorlane.setProcessEnvironment(env);
    vorlane.setProcessChannelMode(QProcess::MergedChannels);
    vorlane.start(VORLANE_BINARY, args);
    QByteArray out;
    (void)QTest::qWaitFor([&] { return (out += vorlane.readAll()).contains(awaited); }, 60'000);
    return out;
}

// A figure of this process: "rchar:" of io (bytes read through every
// file), "VmHWM:" of status (peak memory in kB since the last reset).
qint64 figure(const char *file, const QByteArray &key)
{
    const QByteArray text = bytesOf(QString("/proc/self/") + file);
    const qsizetype at = text.indexOf(key) + key.size();
    return text.mid(at, text.indexOf('\n', at) - at).trimmed().split(' ').first().toLongLong();
}
qint64 bytesRead() { return figure("io", "rchar:"); }

// Mean difference per channel of two views (255 when their sizes differ).
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height() && a.size() == b.size(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return a.size() == b.size() ? sum / (a.width() * a.height()) : 255;
}

// What the viewer shows, and where in its list.
auto shown(Viewer &v)
{
    return std::tuple(v->windowTitle(), v->m_fname, v->m_bmpidx, v->Picture1->Image());
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void staysWithinLimits_data()
    {
        columns<QByteArrayList, qint64>({ "files", "followingZeros" });
        Sandbox box;
        writeGifHeaderClaiming(box.file("small"), 16, 16);
        writeGifHeaderClaiming(box.file("large"), 15800, 15800);
        const QByteArray smallGif = bytesOf(box.file("small")), gif = bytesOf(box.file("large"));
        // Pictures claiming width x height; a JPEG's frame holds them after
        // its length and precision.
        const auto claiming = [](QByteArray jpeg, quint32 width, quint32 height) {
            const qsizetype at = std::max(jpeg.indexOf("\xff\xc0"), jpeg.indexOf("\xff\xc2"));
            qToBigEndian(height << 16 | width, jpeg.data() + at + 5);
            return jpeg;
        };
        const auto gifClaiming = [](const QImage &img, quint16 height, char interlaced) {
            QByteArray gif = writers::encodeGif(img);
            for (const qsizetype at : { qsizetype(8), gif.indexOf(',', 13) + 7 })
                qToLittleEndian(height, gif.data() + at);
            gif[gif.indexOf(',', 13) + 9] = interlaced;
            return gif;
        };
        const QByteArray jpeg = claiming(encodePicture(makePattern(16, 16), "jpg"), 15800, 15800);
        QBuffer progressive;
        QImageWriter writer(&progressive, "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.write(makePattern(16, 16));
        const QByteArray bomb = claiming(progressive.data(), 15800, 15800);
        // An icon whose directory says its last picture, a PNG header, is
        // 256 x 256; the PNG says 15800 x 15800.
        const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")
            + QByteArray::fromHex("00003db800003db80806000000");
        QByteArray icon = encodePicture(makePattern(16, 16), "ico"), entry(16, 0);
        qToLittleEndian(quint16(2), icon.data() + 4);
        qToLittleEndian(quint32(22 + 16), icon.data() + 18);
        qToLittleEndian(quint64(png.size()) | quint64(icon.size() + 16) << 32, entry.data() + 8);
        icon.insert(22, entry).append(png);
        writeJpegWithOrientation(makePattern(16, 16), box.file("j"), 6);
        QTest::newRow("jpeg turned upright")
            << QByteArrayList { claiming(bytesOf(box.file("j")), 15800, 15800) } << (8LL << 30);
        // Files too short for their size, read whole by Qt to compare.
        writeJpegWithOrientation(makePattern(2000, 16), box.file("j"), 6);
        // (200 bytes of its data: the first blocks of its top row.)
        QByteArray turned = bytesOf(box.file("j"));
        turned.truncate(turned.indexOf("\xff\xda") + 214);
        QTest::newRow("short jpeg turned upright")
            << QByteArrayList { claiming(turned, 2000, 16000) } << 0LL;
        QTest::newRow("short gif")
            << QByteArrayList { gifClaiming(makePattern(2000, 2), 6000, 0) } << 0LL;
        QTest::newRow("short interlaced gif")
            << QByteArrayList { gifClaiming(makePattern(2000, 3), 16000, 0x40) } << 0LL;
        QTest::newRow("jpeg then zeros")
            << QByteArrayList { jpeg.left(jpeg.lastIndexOf("\xff\xda") + 14) } << (8LL << 30);
        QTest::newRow("progressive jpeg then zeros") << QByteArrayList { bomb } << (8LL << 30);
        QTest::newRow("gif then zeros") << QByteArrayList { smallGif.chopped(1) } << (8LL << 30);
        QTest::newRow("icon holding a picture too large for an icon")
            << QByteArrayList { icon } << 0LL;
        QTest::newRow("folder of bombs stepped through")
            << QByteArrayList { gif, gif, gif, gif, gif, icon, bomb } << 0LL;
    }

    // One file is decoded; a folder is stepped through, each step once the
    // neighbours are decoded ahead. Peak memory: this case's alone.
    void staysWithinLimits()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(qint64, followingZeros);
        Sandbox box;
        for (int i = 0; i < files.size(); ++i) {
            QFile file(box.write(QString("f/%1.gif").arg(i), files[i]));
            QVERIFY(file.resize(files[i].size() + followingZeros)); // sparse: no room on disk
        }
        Viewer v(box.path(), QSize(1024, 720), true);
        v->Form_Load("");
        QFile peak("/proc/self/clear_refs");
        QVERIFY(peak.open(QIODevice::WriteOnly) && peak.write("5") == 1);
        peak.close();
        const qint64 before = bytesRead();
        if (files.size() == 1) {
            const auto decoded = decodePictureFile(box.file("f/0.gif"), 96, 96);
            // Too short for its size: the rows it holds over the rows without
            // data, as a reader of the whole picture makes them.
            QImageReader whole(box.file("f/0.gif"));
            whole.setAutoTransform(true);
            if (QTest::currentDataTag()[0] == 's')
                QCOMPARE(decoded->image, whole.read().convertToFormat(decoded->image.format()));
            // An icon shows its largest entry of an icon's size.
            if (QTest::currentDataTag()[0] == 'i')
                QCOMPARE(decoded ? decoded->image.size() : QSize(), QSize(16, 16));
        } else {
            v->OpenPath(box.file("f"));
            v.ahead.waitForAll();
        }
        for (int i = 0; i < files.size() && files.size() > 1; ++i, v.ahead.waitForAll())
            v->NextBitmap_Click();
        // Reading stops where no more of the picture can come.
        QVERIFY2(bytesRead() - before < 64 << 20, qPrintable(QString::number(bytesRead() - before)));
        // Pictures too short for their size are cheap, and shown at that
        // size; none is decoded ahead only to be refused.
        const qint64 peakKb = figure("status", "VmHWM:");
        QVERIFY2(peakKb < (files.size() > 1 ? 300 : 1500) << 10,
                 qPrintable(QString::number(peakKb)));
        QCOMPARE(v.ahead.tally()->begun.load(), v.ahead.tally()->pictures.load());
        QVERIFY(files.size() == 1 || v->m_orgx == 15800 * 15);
    }

    void viewAsWithEveryPixel_data()
    {
        // orientation: EXIF, 0 for none, -1 progressive; crop: in pixels, or empty.
        columns<QSize, int, QRect, float>({ "size", "orientation", "crop", "zoom" });
        QTest::newRow("photo") << QSize(4000, 3000) << 0 << QRect() << 100.0f;
        QTest::newRow("progressive") << QSize(4000, 3000) << -1 << QRect() << 100.0f;
        QTest::newRow("rotated by EXIF") << QSize(3000, 2000) << 6 << QRect() << 100.0f;
        QTest::newRow("smaller than the view") << QSize(300, 200) << 0 << QRect() << 100.0f;
        QTest::newRow("100 x 100 crop")
            << QSize(4000, 3000) << 0 << QRect(1000, 1000, 100, 100) << 100.0f;
        QTest::newRow("zoomed to 400 %")
            << QSize(4000, 3000) << 0 << QRect(1990, 1490, 200, 150) << 400.0f;
        QTest::newRow("a little larger than held")
            << QSize(4000, 3000) << 0 << QRect(1000, 750, 2000, 1500) << 26.0f;
        // A crop drawn on a surface of the same size as the whole picture's
        // fitted view: the view shrunk ahead must not stand in for it.
        QTest::newRow("crop the size of the fitted view")
            << QSize(1600, 1200) << 0 << QRect(200, 150, 1100, 825) << 80.0f;
    }

    void viewAsWithEveryPixel()
    {
        QFETCH(QSize, size);
        QFETCH(int, orientation);
        QFETCH(QRect, crop);
        QFETCH(float, zoom);
        Sandbox box;
        const QImage img = makePattern(size.width(), size.height());
        const QString jpg = box.file("p.jpg");
        QImageWriter progressive(jpg, "jpeg");
        progressive.setProgressiveScanWrite(true);
        QVERIFY(orientation > 0 ? writeJpegWithOrientation(img, jpg, orientation)
                : orientation < 0 ? progressive.write(img) : writePicture(img, jpg, "jpg"));
        // The same pixels as a bitmap, which is always decoded whole.
        QImageReader upright(jpg);
        upright.setAutoTransform(true);
        const QString bmp = box.write("p.bmp", encodePicture(upright.read(), "bmp"));
        // The JPEG through the decode-ahead, its first view shrunk on a worker;
        // the bitmap shrunk while drawing.
        Viewer reduced(box.path(), QSize(1024, 768), true);
        Viewer whole(box.path(), QSize(1024, 768));
        whole.pictures.setFittedSurface(nullptr);
        for (Viewer *v : { &reduced, &whole }) {
            VANE &w = v->vane();
            w.Form_Load("");
            w.LoadPictureFile(v == &reduced ? jpg : bmp);
            QCOMPARE(w.m_pic->isReduced(), v == &reduced && size.width() > 2000);
            QCOMPARE(w.m_pic->fittedView().size(),
                v == &reduced && size.width() > 1000 ? w.Picture1->Image().size() : QSize(0, 0));
            if (!crop.isEmpty()) {
                w.m_trimx = crop.x() * 15, w.m_trimy = crop.y() * 15;
                w.m_trimw = crop.width() * 15, w.m_trimh = crop.height() * 15;
                w.m_size = zoom;
                w.FormResize();
                QCOMPARE(w.m_pic->isReduced(), false);
            }
        }
        const auto place = [](Viewer &v) {
            return std::tuple(v->m_orgx, v->m_orgy, v->m_size, v->frameGeometry());
        };
        QCOMPARE(place(reduced), place(whole));
        const double diff = meanDifference(reduced->Picture1->Image(), whole->Picture1->Image());
        QVERIFY2(diff < 3, qPrintable(QString::number(diff)));
    }

    void profileConvertedToSrgb()
    {
        Started s;
        auto &[box, v] = s;
        const QRgb raw = qRgb(40, 190, 60);
        QImage img(64, 64, QImage::Format_RGB32);
        img.fill(raw);
        img.setColorSpace(QColorSpace::AdobeRgb);
        QVERIFY(writePicture(img, box.file("adobe.jpg"), "jpg"));
        v->LoadPictureFile(box.file("adobe.jpg"));
        const QRgb expected
            = QColorSpace(QColorSpace::AdobeRgb).transformationToColorSpace(QColorSpace::SRgb).map(raw);
        QVERIFY(closeColor(rgbAt(v->Picture1->Image(), 32, 32), expected, 4));
    }

    void queuedStepsEndAsIfEachWasShown_data()
    {
        // extra: files added to the folder p0.bmp ... p5.bmp, listed first:
        // a .jpg picture, sounds, and .bmp files that do not decode.
        columns<int, QString>({ "presses", "extra" });
        QTest::newRow("forty presses") << 40 << QString();
        QTest::newRow("ending on files that do not decode") << 11 << "p4.bmp p5.bmp";
        QTest::newRow("one press") << 1 << QString();
        // Stepping onto p0.jpg starts p0.wav, which shows p0.bmp again.
        QTest::newRow("a sound showing another picture") << 2 << "z.wav p0.wav p0.jpg";
    }

    void queuedStepsEndAsIfEachWasShown()
    {
        QFETCH(int, presses);
        QFETCH(QString, extra);
        Started queued;
        Started each;
        for (int i = 0; i < 6; ++i)
            queued.box.picture(QString("f/p%1.bmp").arg(i), QSize(2400 - 100 * i, 1800), "bmp",
                QColor(30 * i, 90, 0));
        for (const QString &name : extra.split(' ', Qt::SkipEmptyParts))
            name.endsWith(".jpg") ? queued.box.picture("f/" + name, QSize(50, 40), "jpg")
                                  : queued.box.write("f/" + name, "not a picture");
        for (Started *s : { &queued, &each }) {
            s->v.folders.order[queued.box.path() + "/f/"] = extra.split(' ');
            s->v->OpenPath(queued.box.file("f"));
        }
        for (int i = 0; i < presses; ++i)
            each.v->NextBitmap_Click();
        // Presses arriving faster than pictures decode.
        const qint64 before = bytesRead();
        for (int i = 0; i < presses; ++i)
            QCoreApplication::postEvent(
                queued.v->Picture1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, {}, " "));
        QTRY_COMPARE(shown(queued.v), shown(each.v));
        // Without sounds only the picture they end on is read (each is over 10 MB).
        QVERIFY2(extra.contains(".wav") || bytesRead() - before < 15 << 20,
            qPrintable(QString::number(bytesRead() - before)));
    }

    // Exit does not wait for the pictures still decoding ahead: each sees
    // its cancel and gives up. The program itself: Qt's options are no part
    // of the path.
    void programTakesQtOptionsAndExitsPromptly()
    {
        Sandbox box;
        const QString first = box.picture("f/a.bmp", QSize(20, 10));
        // The pictures decoded ahead, after and before it: metafiles that take
        // the renderer's whole time budget, more than one worker's worth.
        WmfWriter slow(1000, 1000, 96);
        for (int i = 0; i < 20000; ++i)
            slow.ellipse(QRect(0, 0, 1000, 1000));
        const QByteArray bytes = slow.finish();
        const QStringList next { box.write("f/b.wmf", bytes), box.write("f/c.wmf", bytes),
                                 box.write("f/d.wmf", bytes) };
        auto ahead = std::make_unique<DecodeAhead>();
        const std::shared_ptr<const DecodeAhead::Tally> tally = ahead->tally();
        ahead->prefetch(first, next, 96, 96);
        QTRY_VERIFY(tally->begun > 0);
        ahead.reset();
        // Any left to end with the process (a hang guard: none here) give up too.
        QTRY_COMPARE_WITH_TIMEOUT(tally->ended.load(), tally->begun.load(), 60'000);
        QCOMPARE(tally->pictures.load(), 0);
        QProcess vorlane;
        const QByteArray out = startVorlane(vorlane, box,
            { "-platform", "offscreen", "-reverse", "-style", "Fusion", first }, "ready ");
        QVERIFY2(out.contains("shown a.bmp") && out.contains("ready "), out);
        vorlane.terminate();
        QVERIFY(vorlane.waitForFinished(60'000)); // a hang guard
        // A display nobody serves: a clear message and a plain failure.
        QVERIFY(startVorlane(vorlane, box, { "-display", ":9876", first }, "display :9876")
                    .contains("display :9876"));
        (void)vorlane.waitForFinished();
        QCOMPARE(vorlane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vorlane.exitCode(), 1);
    }

    // Kept under tests/data/fuzz/<target>/, each goes through its target again.
    void keptFuzzInputFinishes_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(VORLANE_SOURCE_DIR "/tests/data/fuzz", QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(path.section('/', -2))) << path;
        }
    }

    void keptFuzzInputFinishes()
    {
        QFETCH(QString, path);
        const auto entry = fuzz::entryNamed(path.section('/', -2, -2));
        QVERIFY(entry);
        entry(bytesOf(path)); // a hang is left to the test run's own time-out
    }

    // The first reaches the event loop; a second ends at once a program
    // whose event loop never runs (this one run again).
    void terminationSignals()
    {
        TerminationWatcher watcher;
        QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
        std::raise(SIGTERM);
        QVERIFY(spy.wait(2000));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { "--signal-twice" });
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().value(1) == "--signal-twice") {
        TerminationWatcher watcher;
        std::raise(SIGTERM);
        std::raise(SIGTERM);
        return 0;
    }
    TestHostile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hostile.moc"
