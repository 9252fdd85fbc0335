// Stepping through the folder's pictures and the slide show.

// Qt
#include <QtTest>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestNavigation : public QObject
{
    Q_OBJECT
private slots:
    void stepsWrapAroundBothWays();
    void spaceAndBackspaceStep();
    void onePicture();
    void emptyListChangesOnlyTheSlideTime();
    void showBitmapOutOfRangeDoesNothing();
    void findBmpDoesNotReloadTheCurrentPicture();
    void slideShowCaptions();
    void showWithAnEmptiedList();

private:
    static QString folderOf(const Sandbox &box, const QStringList &names);
};

QString TestNavigation::folderOf(const Sandbox &box, const QStringList &names)
{
    for (const QString &name : names)
        box.picture("f/" + name, { 20 + int(names.indexOf(name)), 10 });
    return box.path() + "/f/";
}

void TestNavigation::stepsWrapAroundBothWays()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "b.bmp", "c.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "a.bmp");
    QStringList titles;
    for (int i = 0; i < 4; ++i) {
        v->NextBitmap_Click();
        titles << v->windowTitle();
    }
    QCOMPARE(titles, QStringList({ "b.bmp", "c.bmp", "a.bmp", "b.bmp" }));
    titles.clear();
    for (int i = 0; i < 3; ++i) {
        v->BeforeBitmap_Click();
        titles << v->windowTitle();
    }
    QCOMPARE(titles, QStringList({ "a.bmp", "c.bmp", "b.bmp" }));
    QCOMPARE(v->m_bmpidx, 1);
    QCOMPARE(v->m_fname, dir + "b.bmp");
    QCOMPARE(v->m_orgx, 21 * 15);
}

void TestNavigation::spaceAndBackspaceStep()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "b.bmp", "c.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    v->OpenPath(dir + "a.bmp");
    QTest::keyClick(v->Picture1, Qt::Key_Space);
    QCOMPARE(v->windowTitle(), QString("b.bmp"));
    QTest::keyClick(v->Picture1, Qt::Key_Backspace);
    QTest::keyClick(v->Picture1, Qt::Key_Backspace);
    QCOMPARE(v->windowTitle(), QString("c.bmp"));
    // The time of the step is kept to the whole second.
    QCOMPARE(v->m_slidetime.msec(), 0);
    QVERIFY(qAbs(v->m_slidetime.secsTo(QTime::currentTime())) <= 2);
}

void TestNavigation::onePicture()
{
    Sandbox box;
    const QString dir = folderOf(box, { "only.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "only.bmp");
    v->m_size = 40;
    v->NextBitmap_Click();
    QCOMPARE(v->m_bmpidx, 0);
    QCOMPARE(v->m_size, 100.0f); // loaded again
    v->m_size = 40;
    v->BeforeBitmap_Click();
    QCOMPARE(v->m_bmpidx, 0);
    QCOMPARE(v->m_size, 100.0f);
}

void TestNavigation::emptyListChangesOnlyTheSlideTime()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->m_bmpidx = 3;
    v->NextBitmap_Click();
    v->BeforeBitmap_Click();
    QCOMPARE(v->m_bmpidx, 3);
    v->m_slidetime = QTime(0, 0);
    v->SlideShow_Click();
    QVERIFY(!v->ssTimer.isActive());
    QVERIFY(!v->SlideShow->isChecked());
    QVERIFY(v->m_slidetime != QTime(0, 0));
    QCOMPARE(v->windowTitle(), QString("Vorlane"));
}

void TestNavigation::showBitmapOutOfRangeDoesNothing()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "b.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "a.bmp");
    for (int idx : { 2, -1, 1000 }) {
        v->ShowBitmap(idx);
        QCOMPARE(v->m_bmpidx, 0);
        QCOMPARE(v->windowTitle(), QString("a.bmp"));
    }
}

void TestNavigation::findBmpDoesNotReloadTheCurrentPicture()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "a.jpg", "b.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "a.bmp");
    v->m_size = 40;
    v->FindBmp(dir + "a.mid");
    QCOMPARE(v->m_size, 40.0f);
    // From another picture, the first with that base path shows.
    v->ShowBitmap(2);
    v->FindBmp(dir + "a.wav");
    QCOMPARE(v->m_bmpidx, 0);
    QCOMPARE(v->m_fname, dir + "a.bmp");
    // No match, and a sound of another folder, change nothing.
    v->FindBmp(dir + "zzz.mid");
    v->FindBmp(box.path() + "/elsewhere/b.mid");
    QCOMPARE(v->m_bmpidx, 0);
}

void TestNavigation::slideShowCaptions()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "b.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "a.bmp");
    v->SlideShow_Click();
    QVERIFY(v->ssTimer.isActive());
    QCOMPARE(v->ssTimer.interval(), 10000);
    QVERIFY(v->SlideShow->isChecked());
    QCOMPARE(v->windowTitle(), QString("a.bmp >> 10"));
    v->ssTimer_Timer();
    QCOMPARE(v->windowTitle(), QString("b.bmp"));
    QCOMPARE(v->m_bmpidx, 1);
    v->SlideShow_Click();
    QVERIFY(!v->ssTimer.isActive());
    QVERIFY(!v->SlideShow->isChecked());
    QCOMPARE(v->windowTitle(), QString("b.bmp"));
    // The menu item toggles it the same way, its mark following the show.
    v->SlideShow->trigger();
    QVERIFY(v->ssTimer.isActive());
    QVERIFY(v->SlideShow->isChecked());
    v->SlideShow->trigger();
    QVERIFY(!v->SlideShow->isChecked());
}

void TestNavigation::showWithAnEmptiedList()
{
    Sandbox box;
    const QString dir = folderOf(box, { "a.bmp", "b.bmp" });
    Viewer v(box.path());
    v->Form_Load("");
    v->OpenPath(dir + "a.bmp");
    v->SlideShow_Click();
    v->m_BitmapList.clear();
    v->ssTimer_Timer();
    QCOMPARE(v->m_fname, dir + "a.bmp");
    // The command cannot stop a show with nothing to show.
    v->SlideShow_Click();
    QVERIFY(v->ssTimer.isActive());
    QVERIFY(v->SlideShow->isChecked());
    v->OpenPath(dir + "b.bmp");
    v->SlideShow_Click();
    QVERIFY(!v->ssTimer.isActive());
}

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
