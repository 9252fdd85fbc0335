// Stepping through the folder's pictures and the slide show; decoding ahead
// changes nothing a user can see, also when files change on disk.

// Qt
#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// A folder of pictures named as given (".bmp" added), each one pixel wider
// than the one before; returns the folder with its "/".
static QString folderOf(const Sandbox &box, const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i)
        box.picture("f/" + names[i] + ".bmp", { 20 + i, 10 });
    return box.path() + "/f/";
}

// What a user sees: caption, current file and index, size and pixels.
static QString seen(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    const QByteArray hash = QCryptographicHash::hash(
        QByteArrayView(view.constBits(), view.sizeInBytes()), QCryptographicHash::Sha1);
    return QStringLiteral("%1 %2 %3 %4 %5").arg(v->windowTitle(), v->m_fname).arg(v->m_bmpidx)
        .arg(v->m_orgx).arg(QString::fromLatin1(hash.toHex()));
}

class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    // From the first picture, steps by command (n, b) or key (Space,
    // Backspace); every step loads its picture again, even the same one.
    void stepping_data()
    {
        columns<QString, QString, QString>({ "names", "steps", "titles" });
        QTest::newRow("on, wrapping round") << "a b c" << "n n n n" << "b c a b";
        QTest::newRow("one picture") << "only" << "n b" << "only only";
        QTest::newRow("Space and Backspace") << "a b c" << "Space Backspace Backspace" << "b a c";
    }

    void stepping()
    {
        QFETCH(QString, names);
        QFETCH(QString, steps);
        Started s;
        auto &[box, v] = s;
        const QString dir = folderOf(box, names.split(' '));
        v->show();
        v->OpenPath(dir + names.section(' ', 0, 0) + ".bmp");
        QStringList titles;
        for (const QString &step : steps.split(' ')) {
            v->m_size = 40;
            if (step == "n")
                v->NextBitmap_Click();
            else if (step == "b")
                v->BeforeBitmap_Click();
            else
                QTest::keyClick(v->Picture1, step == "Space" ? Qt::Key_Space : Qt::Key_Backspace);
            // A key step shows its picture once the waiting events are handled.
            QTRY_COMPARE(v->m_size, 100.0f);
            QCOMPARE(v->m_orgx, (20 + names.split(' ').indexOf(v->windowTitle().chopped(4))) * 15);
            titles << v->windowTitle().chopped(4);
        }
        QTEST(titles.join(' '), "titles");
        QCOMPARE(v->m_fname, dir + v->windowTitle());
        // The time of the step, to the whole second.
        QCOMPARE(v->m_slidetime.msec(), 0);
    }

    void findBmpShowsThePictureOfASound()
    {
        Started s;
        auto &[box, v] = s;
        const QString dir = folderOf(box, { "a", "b" });
        box.picture("f/a.jpg", { 10, 10 }, "jpg");
        v->OpenPath(dir + "a.bmp");
        // The current picture is not loaded again.
        v->m_size = 40;
        v->FindBmp(dir + "a.mid");
        QCOMPARE(v->m_size, 40.0f);
        // From another picture, the first with that base path shows.
        v->ShowBitmap(2);
        v->FindBmp(dir + "a.wav");
        QCOMPARE(v->m_fname, dir + "a.bmp");
    }

    void slideShow()
    {
        Started s;
        auto &[box, v] = s;
        // With no pictures, steps change nothing and no show starts.
        v->m_bmpidx = 3;
        v->NextBitmap_Click();
        v->BeforeBitmap_Click();
        v->SlideShow->trigger();
        QCOMPARE(v->m_bmpidx, 3);
        QVERIFY(!v->ssTimer.isActive() && !v->SlideShow->isChecked());
        const QString dir = folderOf(box, { "a", "b" });
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QVERIFY(v->ssTimer.isActive());
        QCOMPARE(v->ssTimer.interval(), 10000);
        QVERIFY(v->SlideShow->isChecked());
        QCOMPARE(v->windowTitle(), QString("a.bmp >> 10"));
        v->ssTimer_Timer();
        QCOMPARE(v->windowTitle(), QString("b.bmp"));
        v->ssTimer.start(2500);
        v->LoadPictureFile(dir + "a.bmp");
        QCOMPARE(v->windowTitle(), QString("a.bmp >> 2.5"));
        // With the list emptied a tick shows nothing, and the command cannot
        // stop a show with nothing to show.
        v->m_BitmapList.clear();
        v->ssTimer_Timer();
        v->SlideShow->trigger();
        QCOMPARE(v->m_fname, dir + "a.bmp");
        QVERIFY(v->ssTimer.isActive());
        QVERIFY(v->SlideShow->isChecked());
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QVERIFY(!v->ssTimer.isActive());
        QVERIFY(!v->SlideShow->isChecked());
        QCOMPARE(v->windowTitle(), QString("a.bmp"));
    }

    void steppingIsUnchanged()
    {
        Sandbox box;
        folderOf(box, { "p0", "p1", "p2", "p3", "p4" });
        Viewer plain(box.path());
        Viewer ahead(box.path(), QSize(1024, 720), true);
        QStringList a, b;
        for (Viewer *v : { &plain, &ahead }) {
            QStringList &out = v == &plain ? a : b;
            (*v)->Form_Load("");
            (*v)->OpenPath(box.path() + "/f");
            for (int i = 0; i < 7; ++i) {
                v->ahead.waitForAll();
                (*v)->NextBitmap_Click();
                out << seen(*v);
            }
            for (int i = 0; i < 3; ++i) {
                (*v)->BeforeBitmap_Click(); // at once, decodes possibly still running
                out << seen(*v);
            }
        }
        QCOMPARE(b, a);
    }

    // p1 is decoded ahead, then changes on disk before the step onto it.
    void changedNeighbour_data()
    {
        // shown: empty: the step fails, p0 stays
        columns<QString, QString>({ "change", "shown" });
        QTest::newRow("another picture") << "picture" << "p1.bmp";
        QTest::newRow("deleted") << "delete" << "";
        QTest::newRow("no picture any more, same size") << "garbage" << "";
    }

    void changedNeighbour()
    {
        QFETCH(QString, change);
        QFETCH(QString, shown);
        Sandbox box;
        folderOf(box, { "p0", "p1", "p2", "p3", "p4" });
        Viewer v(box.path(), QSize(1024, 720), true);
        v->Form_Load("");
        v->OpenPath(box.path() + "/f");
        v.ahead.waitForAll();
        const QString p1 = box.file("f/p1.bmp");
        if (change == "picture")
            QVERIFY(writePicture(makePattern(77, 20, Qt::cyan), p1, "bmp"));
        else if (change == "delete")
            QVERIFY(QFile::remove(p1));
        else
            box.write("f/p1.bmp", QByteArray(QFileInfo(p1).size(), 'x'));
        v->NextBitmap_Click();
        QCOMPARE(v->windowTitle(), QString("p1.bmp"));
        QCOMPARE(v->m_bmpidx, 1);
        QCOMPARE(v->m_fname, box.file(shown.isEmpty() ? "f/p0.bmp" : "f/" + shown));
        QCOMPARE(v->m_orgx, shown.isEmpty() ? 20 * 15 : 77 * 15);
        if (!shown.isEmpty())
            QCOMPARE(rgbAt(v->Picture1->Image(), 2, 2), rgb(0, 255, 255));
    }
};

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
