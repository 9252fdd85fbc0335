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

// Writes a sound to path and returns it: for a ".mid" name one piano note
// of a quarter second, else a 440 Hz tone of the given length.
static QString sound(const QString &path, int ms = 150)
{
    std::vector<qint16> samples(size_t(22050 * ms / 1000));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16(12000 * std::sin(double(i) * 2 * M_PI * 440 / 22050));
    path.endsWith(".mid")
        ? writers::writeMidi({ .programs = { 0 }, .notes = { { 0, 240, 0, 72, 110 } } }, path)
        : writers::writeWav(samples, 22050, path);
    return path;
}

class TestSound : public QObject
{
    Q_OBJECT
private slots:
    void sequenceMovesOnWhenASoundEnds_data()
    {
        // The folder's sounds, the one opened first (none: "♪" is clicked)
        // and the bytes it holds (null: a real sound), and the one after.
        columns<QString, QString, QByteArray, QString>({ "sounds", "first", "bytes", "next" });
        QByteArray noise(3000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3);
        const QString bad = "m.mid p.mp3 w.wav z.wav";
        // clang-format off
        QTest::newRow("last wraps to first") << "a.mid b.wav" << "b.wav" << QByteArray() << "a.mid";
        QTest::newRow("one sound repeats") << "one.wav" << "one.wav" << QByteArray() << "one.wav";
        QTest::newRow("no sounds: the tune repeats") << "" << "" << QByteArray() << "";
        QTest::newRow("text as .mid stays") << bad << "m.mid" << QByteArray("no tune\n") << "m.mid";
        QTest::newRow("noise named .mp3 stays") << bad << "p.mp3" << noise << "p.mp3";
        QTest::newRow("empty .wav stays") << bad << "w.wav" << QByteArray("") << "w.wav";
        // clang-format on
    }
    void sequenceMovesOnWhenASoundEnds()
    {
        QFETCH(QString, sounds);
        QFETCH(QString, first);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, next);
        Started s;
        auto &[box, v] = s;
        const SoundDevice &device = v->MMControl1;
        for (const QString &name : sounds.split(' ', Qt::SkipEmptyParts))
            name == first && !bytes.isNull() ? box.write("s/" + name, bytes)
                                             : sound(box.file("s/" + name));
        // The default tune is looked for beside the program.
        const QString tune = QCoreApplication::applicationDirPath() + "/vorlane.mid";
        const bool ownTune = !QFileInfo::exists(tune) && !sound(tune).isEmpty();
        const auto removeTune = qScopeGuard([&] { QFile::remove(ownTune ? tune : QString()); });

        first.isEmpty() ? v->SoundNext_Click() : v->OpenPath(box.file("s/" + first));
        // A real sound plays to its end; a file that cannot be played never
        // reads as ended. The notification is then run at once rather than
        // after three seconds.
        const int ended = bytes.isNull() ? SoundDevice::modeStopped : SoundDevice::modeNotReady;
        QTRY_COMPARE_WITH_TIMEOUT(device.mode(), ended, 10000);
        // Pairing with the current sound does not start it again.
        v->FindSound(device.fileName());
        QCOMPARE(device.mode(), ended);
        v->MMControl1_StatusUpdate();
        // The sound then playing is looked at every three seconds; once
        // stopped, no more.
        QCOMPARE(std::tuple(
                     device.fileName(), v->m_sndidx, v->SoundNext->text(), device.updateInterval()),
            std::tuple(next.isEmpty() ? tune : box.file("s/" + next),
                qMax(0, int(sounds.split(' ').indexOf(next))), QString("■"), 3000));
        v->SoundNext_Click();
        QCOMPARE(std::tuple(v->SoundNext->text(), device.updateInterval(), device.mode()),
            std::tuple(QString("♪"), 0, int(SoundDevice::modeNotReady)));
    }

    void pairing_data()
    {
        // Files of folder f (sounds in the listing order given), what is
        // opened in turn, the sound then played (an index of the sorted
        // sound list, or none), and then the picture shown, the sound
        // playing and the current one of the sound list.
        columns<QString, QString, int, QString>({ "files", "open", "play", "shown" });
        // clang-format off
        QTest::newRow("a sound shows its picture")
            << "a.bmp b.bmp a.wav b.wav" << "f/a.bmp" << 1 << "f/b.bmp f/b.wav f/b.wav";
        QTest::newRow("a sound elsewhere leaves the picture")
            << "a.bmp b.bmp" << "f/a.bmp g/b.wav" << -1 << "f/a.bmp g/b.wav g/b.wav";
        QTest::newRow("the picture's first sound takes over")
            << "a.bmp b.bmp a.mid a.wav" << "f/b.bmp" << 1 << "f/a.bmp f/a.mid f/a.mid";
        QTest::newRow("a folder's first listed sound starts")
            << "c.bmp b.wav a.mid" << "f/c.bmp" << -1 << "f/c.bmp f/b.wav f/b.wav";
        // clang-format on
    }
    void pairing()
    {
        QFETCH(QString, files);
        QFETCH(QString, open);
        QFETCH(int, play);
        Started s;
        auto &[box, v] = s;
        const QStringList names = files.split(' ');
        for (const QString &name : names)
            name.endsWith(".bmp") ? box.picture("f/" + name, { 8, 8 })
                                  : box.write("f/" + name, "x");
        box.write("g/b.wav", "x");
        v.folders.order[box.path() + "/f/"] = names;
        for (const QString &path : open.split(' '))
            v->OpenPath(box.file(path));
        if (play >= 0)
            v->PlaySound(play);
        QStringList shown { v->m_fname, v->MMControl1.fileName(), v->m_SoundList.at(v->m_sndidx) };
        QTEST(shown.join(' ').remove(box.path() + '/'), "shown");
    }

    void deviceWritesRealSamples_data()
    {
        columns<QByteArray, QString>({ "driver", "file" });
        // clang-format off
        QTest::newRow("wav") << QByteArray("disk") << "a.wav";
        QTest::newRow("midi") << QByteArray("disk") << "a.mid";
        QTest::newRow("mp3") << QByteArray("disk") << VORLANE_SOURCE_DIR "/data/samples/07-night.mp3";
        QTest::newRow("no device: the dummy driver") << QByteArray("no-such-driver") << "a.wav";
        // clang-format on
    }
    void deviceWritesRealSamples()
    {
        QFETCH(QByteArray, driver);
        QFETCH(QString, file);
        Sandbox box;
        const QString output = box.file("out.raw");
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIOFILE", output.toLocal8Bit());
        const auto restore = qScopeGuard([] { qputenv("SDL_AUDIODRIVER", "dummy"); });
        {
            SdlSoundDevice device;
            device.setFileName(QFileInfo(file).isAbsolute() ? file : sound(box.file(file), 400));
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
        const QByteArray bytes = raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        QVERIFY(std::any_of(
            samples, samples + bytes.size() / 2, [](qint16 s) { return qAbs(int(s)) > 2000; }));
    }
};

QTEST_MAIN(TestSound)
#include "test_sound.moc"
