// Stepping through the folder's pictures and the slide show; decoding ahead
// changes nothing a user can see, also when files change on disk.

// Qt
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

// What a user sees: caption, current file's name and index, size and pixels.
static QString seen(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    return QStringLiteral("%1 %2 %3 %4 %5").arg(v->windowTitle(), v->m_fname.section('/', -1))
        .arg(v->m_bmpidx).arg(v->m_orgx).arg(qHashBits(view.constBits(), view.sizeInBytes()));
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
        QTest::newRow("wrapping round both ways") << "a b c" << "b n n n n" << "c a b c a";
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
        QCOMPARE(std::tuple(v->m_bmpidx, v->ssTimer.isActive(), v->SlideShow->isChecked()),
                 std::tuple(3, false, false));
        const QString dir = folderOf(box, { "a", "b" });
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QCOMPARE(std::tuple(v->windowTitle(), v->ssTimer.isActive(), v->SlideShow->isChecked()),
                 std::tuple(QString("a.bmp >> 10"), true, true));
        QCOMPARE(v->ssTimer.interval(), 10000);
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
        QCOMPARE(std::tuple(v->m_fname, v->ssTimer.isActive(), v->SlideShow->isChecked()),
                 std::tuple(dir + "a.bmp", true, true));
        v->OpenPath(dir + "a.bmp");
        v->SlideShow->trigger();
        QCOMPARE(std::tuple(v->windowTitle(), v->ssTimer.isActive(), v->SlideShow->isChecked()),
                 std::tuple(QString("a.bmp"), false, false));
    }

    // Stepping on and back through a folder shows the same with and without
    // decoding ahead, also when p1, decoded ahead, changes on disk before
    // the step onto it.
    void decodingAheadChangesNothing_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : { "none", "another picture", "deleted", "no picture, same size" })
            QTest::newRow(change) << change;
    }

    void decodingAheadChangesNothing()
    {
        QFETCH(QString, change);
        QStringList seenBy[2];
        for (const bool ahead : { false, true }) {
            Sandbox box;
            folderOf(box, { "p0", "p1", "p2", "p3", "p4" });
            Viewer v(box.path(), QSize(1024, 720), ahead);
            v->Form_Load("");
            v->OpenPath(box.path() + "/f");
            v.ahead.waitForAll();
            const QString p1 = box.file("f/p1.bmp");
            if (change == "another picture")
                QVERIFY(writePicture(makePattern(77, 20, Qt::cyan), p1, "bmp"));
            else if (change == "deleted")
                QVERIFY(QFile::remove(p1));
            else if (change != "none")
                box.write("f/p1.bmp", QByteArray(QFileInfo(p1).size(), 'x'));
            for (int i = 0; i < 7; ++i) {
                v.ahead.waitForAll();
                v->NextBitmap_Click();
                seenBy[ahead] << seen(v);
            }
            for (int i = 0; i < 3; ++i) {
                v->BeforeBitmap_Click(); // at once, decodes possibly still running
                seenBy[ahead] << seen(v);
            }
        }
        QCOMPARE(seenBy[true], seenBy[false]);
    }
};

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
