// Fitting the window around the view, zoom steps and folding.

// Qt
#include <QtTest>

// Local
#include "app/fitting.h"
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// 1024 × 720 pixels at 15 twips per pixel.
static const QSizeF work(15360, 10800);

class TestFitting : public QObject
{
    Q_OBJECT
private slots:
    void fitZoom_data();
    void fitZoom();
    void placeWindow_data();
    void placeWindow();
    void centring();

    void widePictureIsFittedTo75Percent();
    void smallPictureGetsTheMinimumWidth();
    void zoomSteps();
    void zoomInOnAFullScreenPictureRecordsUndoButChangesNothing();
    void originalRestoresWholePictureAt100();
    void windowAboveTheScreenMovesToZero();
    void maximisedWindowIsOnlyRecentred();
    void foldThenZoomUnfolds();
    void everyFitCopiesWithTrimCopyOn();

private:
    void load(Viewer &v, const Sandbox &box, QSize pixels);
};

void TestFitting::fitZoom_data()
{
    QTest::addColumn<float>("size");
    QTest::addColumn<int>("trimW");
    QTest::addColumn<int>("trimH");
    QTest::addColumn<float>("expected");
    QTest::newRow("fits: unchanged") << 100.0f << 9600 << 7200 << 100.0f;
    QTest::newRow("too wide: truncated") << 100.0f << 19200 << 7200 << 75.0f;
    QTest::newRow("too tall") << 100.0f << 9600 << 18600 << 50.0f;
    QTest::newRow("height test uses the lowered zoom") << 100.0f << 29120 << 18600 << 50.0f;
    QTest::newRow("never raised") << 30.0f << 100 << 100 << 30.0f;
    QTest::newRow("exactly at the width limit") << 100.0f << 14260 << 100 << 100.0f;
    QTest::newRow("past the limit but within the frame allowance: not raised")
        << 100.0f << 14261 << 100 << 100.0f;
    QTest::newRow("past the limit by more than the allowance") << 100.0f << 14600 << 100 << 99.0f;
    QTest::newRow("huge metafile stays at least 1") << 100.0f << 2'000'000'000 << 100 << 1.0f;
    QTest::newRow("zero crop is left alone") << 100.0f << 0 << 0 << 100.0f;
}

void TestFitting::fitZoom()
{
    QFETCH(float, size);
    QFETCH(int, trimW);
    QFETCH(int, trimH);
    QTEST(vorlane::fitZoom(size, trimW, trimH, work), "expected");
}

void TestFitting::placeWindow_data()
{
    QTest::addColumn<double>("surfaceW");
    QTest::addColumn<double>("surfaceH");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<QRect>("expected"); // left, top, width, height
    QTest::newRow("empty view") << 4440.0 << 2940.0 << 1500.0 << 900.0
                                << QRect(1500, 900, 4740, 3940);
    QTest::newRow("minimum size") << 1500.0 << 15.0 << 0.0 << 0.0 << QRect(0, 0, 4000, 1015);
    QTest::newRow("negative position goes to 0") << 4440.0 << 2940.0 << -900.0 << -60.0
                                                 << QRect(0, 0, 4740, 3940);
    QTest::newRow("pulled back from the bottom right")
        << 4440.0 << 2940.0 << 14000.0 << 9000.0 << QRect(10620, 6860, 4740, 3940);
}

void TestFitting::placeWindow()
{
    QFETCH(double, surfaceW);
    QFETCH(double, surfaceH);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(QRect, expected);
    const WindowRect r = vorlane::placeWindow(surfaceW, surfaceH, left, top, work);
    QCOMPARE(QRect(r.left, r.top, r.width, r.height), expected);
}

void TestFitting::centring()
{
    const SurfacePos p = centerSurface(4000, 2500, 1500, 1500);
    QCOMPARE(p.left, 1200);
    QCOMPARE(p.top, 150);
    // Halves go to even.
    QCOMPARE(centerSurface(4001, 2500, 1500, 1500).left, 1200);
    QCOMPARE(centerSurface(4003, 2500, 1500, 1500).left, 1202);
}

void TestFitting::load(Viewer &v, const Sandbox &box, QSize pixels)
{
    const QString path = box.picture(QStringLiteral("pic%1x%2.bmp").arg(pixels.width()).arg(pixels.height()), pixels);
    v->LoadPictureFile(path);
    QCOMPARE(v->m_fname, path);
}

void TestFitting::widePictureIsFittedTo75Percent()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    load(v, box, QSize(1280, 200)); // 19200 twips wide
    QCOMPARE(v->m_orgx, 19200);
    QCOMPARE(v->m_size, 75.0f);
    QCOMPARE(v->Picture1->Width(), 14400.0);
    QCOMPARE(v->windowWidth(), 14700.0);
}

void TestFitting::smallPictureGetsTheMinimumWidth()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    load(v, box, QSize(100, 100));
    QCOMPARE(v->Picture1->Width(), 1500.0);
    // 4000 × 2500 twips, kept in whole pixels.
    QCOMPARE(v->frameGeometry().size(), QSize(267, 167));
    QCOMPARE(v->Picture1->Left(), 1200.0);
}

void TestFitting::zoomSteps()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    load(v, box, QSize(20, 20));
    v->m_size = 390;
    v->big_Click();
    QCOMPARE(v->m_size, 400.0f);
    QCOMPARE(v->UndoList.size(), 1);
    v->big_Click();
    QCOMPARE(v->m_size, 400.0f);
    QCOMPARE(v->UndoList.size(), 1);
    // A remainder left by the fitting is kept: 15 steps down to 5, no further.
    v->m_size = 20;
    v->mini_Click();
    QCOMPARE(v->m_size, 10.0f);
    v->mini_Click();
    QCOMPARE(v->m_size, 10.0f);
    QCOMPARE(v->UndoList.size(), 2);
    v->m_size = 15;
    v->mini_Click();
    QCOMPARE(v->m_size, 5.0f);
    // The surface follows the zoom: 20 px at 5 % is one pixel.
    QCOMPARE(v->Picture1->Width(), 15.0);
}

void TestFitting::zoomInOnAFullScreenPictureRecordsUndoButChangesNothing()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    load(v, box, QSize(1280, 200));
    QCOMPARE(v->m_size, 75.0f);
    v->big_Click();
    QCOMPARE(v->m_size, 75.0f);
    QCOMPARE(v->UndoList, QStringList { "75,0,0,19200,3000" });
}

void TestFitting::originalRestoresWholePictureAt100()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    load(v, box, QSize(64, 48));
    v->m_trimx = 15;
    v->m_trimw = 300;
    v->m_size = 250;
    v->original_Click();
    QCOMPARE(v->m_size, 100.0f);
    QCOMPARE(QRect(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh), QRect(0, 0, 960, 720));
    QVERIFY(v->UndoList.isEmpty());
}

void TestFitting::windowAboveTheScreenMovesToZero()
{
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("vorlane", "window", "Top", "-900");
    Viewer v(box.path());
    v->Form_Load("");
    QCOMPARE(v->windowTop(), 0.0);
}

void TestFitting::maximisedWindowIsOnlyRecentred()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->showMaximized();
    QTRY_VERIFY(v->isMaximized());
    const QRect before = v->frameGeometry();
    load(v, box, QSize(100, 100));
    QCOMPARE(v->frameGeometry(), before);
    QCOMPARE(v->Picture1->Width(), 1500.0);
    // Centred in the maximised window.
    const SurfacePos p = centerSurface(v->windowWidth(), v->windowHeight(), 1500, 1500);
    QCOMPARE(v->Picture1->x(), qRound(p.left / 15.0));
    QCOMPARE(v->Picture1->y(), qRound(p.top / 15.0));
}

void TestFitting::foldThenZoomUnfolds()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    QCOMPARE(v->Bar->text(), QString("▲"));
    v->Bar_Click();
    QVERIFY(v->m_folded);
    QCOMPARE(v->Bar->text(), QString("▼"));
    QCOMPARE(v->frameGeometry().size(), QSize(267, 47)); // 4000 × 700 twips
    v->big_Click();
    QVERIFY(!v->m_folded);
    QCOMPARE(v->Bar->text(), QString("▲"));
    QVERIFY(v->windowHeight() > 700.0);
    // Folding and unfolding by the item itself.
    v->Bar_Click();
    v->Bar_Click();
    QVERIFY(!v->m_folded);
    QCOMPARE(v->Bar->text(), QString("▲"));
}

void TestFitting::everyFitCopiesWithTrimCopyOn()
{
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "TrimCopy", "1");
    Viewer v(box.path());
    v.clipboard.clear();
    v->Form_Load("");
    // The empty view at start-up is copied too.
    QTRY_VERIFY(v.clipboard.hasImage());
    QCOMPARE(v.clipboard.image().size(), QSize(296, 196));
    load(v, box, QSize(100, 60));
    v->big_Click();
    QCOMPARE(v.clipboard.image().size(), QSize(110, 66));
    QCOMPARE(v->m_size, 110.0f);
    QCOMPARE(rgbAt(v.clipboard.image(), 5, 5), rgbAt(v->Picture1->Image(), 5, 5));
}

QTEST_MAIN(TestFitting)
#include "test_fitting.moc"
