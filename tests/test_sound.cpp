// Background sound on the real SDL device: the sequence, the pairing with
// pictures, and files that cannot be played.

// Qt
#include <QtTest>

// Std
#include <cmath>

// Local
#include "data/writers/sound_writer.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestSound : public QObject
{
    Q_OBJECT
private slots:
    void sequenceMovesOnWhenASoundEnds_data();
    void sequenceMovesOnWhenASoundEnds();
    void pairing_data();
    void pairing();
    void deviceWritesRealSamples_data();
    void deviceWritesRealSamples();
};

// A 440 Hz tone of the given length.
static QString tone(const Sandbox &box, const QString &name, int ms = 150)
{
    std::vector<qint16> samples(size_t(22050 * ms / 1000));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16(12000 * std::sin(double(i) * 2 * M_PI * 440 / 22050));
    const QString path = box.file(name);
    writers::writeWav(samples, 22050, path);
    return path;
}

// One piano note of a quarter second.
static QString note(const QString &path)
{
    writers::MidiSong song;
    song.programs = { 0 };
    song.notes = { { 0, 240, 0, 72, 110 } };
    writers::writeMidi(song, path);
    return path;
}

void TestSound::sequenceMovesOnWhenASoundEnds_data()
{
    // The folder's sounds, the one opened first (none: "♪" is clicked) and
    // the bytes it holds (null: a real sound), and the one that follows.
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("next");
    const QByteArray real;
    QTest::newRow("last wraps to first") << QStringList { "a.mid", "b.wav" } << "b.wav" << real
                                         << "a.mid";
    QTest::newRow("one sound repeats") << QStringList { "one.wav" } << "one.wav" << real
                                       << "one.wav";
    QTest::newRow("no sounds: the tune repeats") << QStringList() << QString() << real << QString();
    QByteArray noise(3000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) >> 3);
    const QStringList bad { "m.mid", "p.mp3", "w.wav", "z.wav" };
    QTest::newRow("text named .mid stays") << bad << "m.mid" << QByteArray("not a tune\n") << "m.mid";
    QTest::newRow("noise named .mp3 stays") << bad << "p.mp3" << noise << "p.mp3";
    QTest::newRow("empty .wav stays") << bad << "w.wav" << QByteArray("") << "w.wav";
}

void TestSound::sequenceMovesOnWhenASoundEnds()
{
    QFETCH(QStringList, sounds);
    QFETCH(QString, first);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, next);
    Sandbox box;
    for (const QString &name : sounds) {
        if (name == first && !bytes.isNull())
            box.write("s/" + name, bytes);
        else
            name.endsWith(".mid") ? note(box.file("s/" + name)) : tone(box, "s/" + name);
    }
    // The default tune is looked for beside the program.
    const QString tunePath = QCoreApplication::applicationDirPath() + "/vorlane.mid";
    const bool ownTune = !QFileInfo::exists(tunePath);
    if (ownTune)
        note(tunePath);
    const auto removeTune = qScopeGuard([&] {
        if (ownTune)
            QFile::remove(tunePath);
    });

    Viewer v(box.path());
    v->Form_Load("");
    if (first.isEmpty())
        v->SoundNext_Click();
    else
        v->OpenPath(box.path() + "/s/" + first);
    QCOMPARE(v->MMControl1.updateInterval(), 3000);
    // A real sound plays to its end; a file that cannot be played never
    // reads as ended. The notification is then run at once rather than
    // after three seconds.
    const int ended = bytes.isNull() ? SoundDevice::modeStopped : SoundDevice::modeNotReady;
    QTRY_COMPARE_WITH_TIMEOUT(v->MMControl1.mode(), ended, 10000);
    // Pairing with the current sound does not start it again.
    v->FindSound(v->MMControl1.fileName());
    QCOMPARE(v->MMControl1.mode(), ended);
    v->MMControl1_StatusUpdate();
    QCOMPARE(v->MMControl1.fileName(), next.isEmpty() ? tunePath : box.path() + "/s/" + next);
    QCOMPARE(v->m_sndidx, qMax(0, int(sounds.indexOf(next))));
    QCOMPARE(v->SoundNext->text(), QString("■"));

    v->SoundNext_Click();
    QCOMPARE(v->SoundNext->text(), QString("♪"));
    QCOMPARE(v->MMControl1.updateInterval(), 0);
    QCOMPARE(v->MMControl1.mode(), SoundDevice::modeNotReady);
}

void TestSound::pairing_data()
{
    // Files of folder f (sounds in the listing order given), what is opened,
    // the sound then played (an index of the sorted sound list), and the
    // picture and sound that result.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("open");
    QTest::addColumn<int>("play");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("sound");
    QTest::newRow("a sound shows its picture")
        << QStringList { "a.bmp", "b.bmp", "a.wav", "b.wav" } << "f/a.bmp" << 1 << "f/b.bmp"
        << "f/b.wav";
    QTest::newRow("a sound elsewhere leaves the picture")
        << QStringList { "a.bmp", "b.bmp" } << "f/a.bmp" << -1 << "f/a.bmp" << "g/b.wav";
    QTest::newRow("the picture's first sound takes over")
        << QStringList { "a.bmp", "b.bmp", "a.mid", "a.wav" } << "f/b.bmp" << 1 << "f/a.bmp"
        << "f/a.mid";
    QTest::newRow("a folder's first listed sound starts")
        << QStringList { "c.bmp", "b.wav", "a.mid" } << "f/c.bmp" << -1 << "f/c.bmp" << "f/b.wav";
}

void TestSound::pairing()
{
    QFETCH(QStringList, files);
    QFETCH(QString, open);
    QFETCH(int, play);
    QFETCH(QString, picture);
    QFETCH(QString, sound);
    Sandbox box;
    for (const QString &name : files)
        name.endsWith(".bmp") ? box.picture("f/" + name, { 8, 8 }) : box.write("f/" + name, "x");
    box.write("g/b.wav", "x");
    Viewer v(box.path());
    v.folders.order[box.path() + "/f/"] = files;
    v->Form_Load("");
    v->OpenPath(box.path() + "/" + open);
    if (play >= 0)
        v->PlaySound(play);
    else if (sound.startsWith("g/"))
        v->OpenPath(box.path() + "/g/b.wav");
    QCOMPARE(v->m_fname, box.path() + "/" + picture);
    QCOMPARE(v->MMControl1.fileName(), box.path() + "/" + sound);
    QCOMPARE(v->m_SoundList.at(v->m_sndidx), box.path() + "/" + sound);
}

void TestSound::deviceWritesRealSamples_data()
{
    QTest::addColumn<QByteArray>("driver");
    QTest::addColumn<QString>("file");
    QTest::newRow("wav") << QByteArray("disk") << "a.wav";
    QTest::newRow("midi") << QByteArray("disk") << "a.mid";
    QTest::newRow("mp3") << QByteArray("disk") << VORLANE_SOURCE_DIR "/data/samples/07-night.mp3";
    QTest::newRow("no device: the dummy driver")
        << QByteArray("no-such-driver") << "a.wav";
}

void TestSound::deviceWritesRealSamples()
{
    QFETCH(QByteArray, driver);
    QFETCH(QString, file);
    Sandbox box;
    if (file == "a.wav")
        file = tone(box, file, 400);
    else if (file == "a.mid")
        file = note(box.file(file));
    const QString output = box.file("out.raw");
    qputenv("SDL_AUDIODRIVER", driver);
    qputenv("SDL_DISKAUDIOFILE", output.toLocal8Bit());
    const auto restore = qScopeGuard([] { qputenv("SDL_AUDIODRIVER", "dummy"); });
    {
        SdlSoundDevice device;
        device.setFileName(file);
        device.open();
        device.play();
        QCOMPARE(device.driverName(), QString(driver == "disk" ? "disk" : "dummy"));
        QCOMPARE(device.mode(), SoundDevice::modePlaying);
        QTRY_COMPARE_WITH_TIMEOUT(device.mode(), SoundDevice::modeStopped, 15000);
    }
    if (driver != "disk")
        return;
    // Native 16-bit samples: something well above the noise floor came out.
    QFile raw(output);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
    const auto loud = [](qint16 s) { return qAbs(int(s)) > 2000; };
    QVERIFY(std::any_of(samples, samples + bytes.size() / 2, loud));
}

QTEST_MAIN(TestSound)
#include "test_sound.moc"
