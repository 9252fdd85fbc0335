// Fitting the window around the view, zoom steps and folding; what the
// window reads from the settings at start-up.

// Qt
#include <QtTest>

// Local
#include "app/fitting.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// 1024 × 720 pixels at 15 twips per pixel.
static const QSizeF work(15360, 10800);

class TestFitting : public QObject
{
    Q_OBJECT
private slots:
    void fitZoom_data()
    {
        columns<float, int, int, float>({ "size", "trimW", "trimH", "expected" });
        QTest::newRow("fits: unchanged") << 100.0f << 9600 << 7200 << 100.0f;
        QTest::newRow("too wide: truncated") << 100.0f << 19200 << 7200 << 75.0f;
        QTest::newRow("too tall") << 100.0f << 9600 << 18600 << 50.0f;
        QTest::newRow("height uses the lowered zoom") << 100.0f << 29120 << 18600 << 50.0f;
        QTest::newRow("never raised") << 30.0f << 100 << 100 << 30.0f;
        QTest::newRow("at the width limit") << 100.0f << 14260 << 100 << 100.0f;
        QTest::newRow("within the frame allowance") << 100.0f << 14261 << 100 << 100.0f;
        QTest::newRow("past the allowance") << 100.0f << 14600 << 100 << 99.0f;
        QTest::newRow("huge metafile: at least 1") << 100.0f << 2'000'000'000 << 100 << 1.0f;
        QTest::newRow("zero crop left alone") << 100.0f << 0 << 0 << 100.0f;
    }

    void fitZoom()
    {
        QFETCH(float, size);
        QFETCH(int, trimW);
        QFETCH(int, trimH);
        QTEST(vorlane::fitZoom(size, trimW, trimH, work), "expected");
    }

    // A surface at a stored position: left, top, width, height in twips.
    void placeWindow_data()
    {
        columns<QRect, QRect>({ "surfaceAt", "expected" });
        QTest::newRow("empty view") << QRect(1500, 900, 4440, 2940) << QRect(1500, 900, 4740, 3940);
        QTest::newRow("minimum size") << QRect(0, 0, 1500, 15) << QRect(0, 0, 4000, 1015);
        QTest::newRow("above the screen: to 0") << QRect(-900, -60, 4440, 2940)
                                                << QRect(0, 0, 4740, 3940);
        QTest::newRow("back from the bottom right") << QRect(14000, 9000, 4440, 2940)
                                                    << QRect(10620, 6860, 4740, 3940);
    }

    void placeWindow()
    {
        QFETCH(QRect, surfaceAt);
        const QRect &a = surfaceAt;
        const WindowRect r = vorlane::placeWindow(a.width(), a.height(), a.x(), a.y(), work);
        QTEST(QRect(r.left, r.top, r.width, r.height), "expected");
    }

    // A picture loaded, its zoom set (0: as fitted), then a command.
    void zoomCommands_data()
    {
        columns<QSize, float, QString, float, int, double>(
            { "picture", "zoom", "command", "fitted", "undo", "surfaceWidth" });
        const auto row = [](const char *name, QSize picture, float zoom, const char *command,
                            float fitted, int undo, double surfaceWidth) {
            QTest::newRow(name) << picture << zoom << command << fitted << undo << surfaceWidth;
        };
        row("wide picture fitted", { 1280, 200 }, 0, "", 75, 0, 14400);
        row("up to 400", { 20, 20 }, 390, "big", 400, 1, 1200);
        row("no further than 400", { 20, 20 }, 400, "big", 400, 0, 300);
        row("down to 10", { 20, 20 }, 20, "mini", 10, 1, 30);
        row("no further than 10", { 20, 20 }, 10, "mini", 10, 0, 300);
        row("a fitting's remainder kept", { 200, 20 }, 15, "mini", 5, 1, 150);
        row("up from a full-screen fit: undo only", { 1280, 200 }, 0, "big", 75, 1, 14400);
        row("original: whole picture at 100", { 64, 48 }, 250, "original", 100, 0, 960);
    }

    void zoomCommands()
    {
        QFETCH(QSize, picture);
        QFETCH(float, zoom);
        QFETCH(QString, command);
        Started s;
        auto &[box, v] = s;
        v->show();
        v->LoadPictureFile(box.picture("p.bmp", picture));
        if (zoom > 0)
            v->m_size = zoom;
        v->m_trimx = command == "original" ? 15 : 0;
        if (command == "big")
            v->big_Click();
        else if (command == "mini")
            v->mini_Click();
        else if (command == "original")
            v->original_Click();
        QTEST(v->m_size, "fitted");
        QTEST(int(v->UndoList.size()), "undo");
        QTEST(v->Picture1->Width(), "surfaceWidth");
        QCOMPARE(v->m_trimx, 0);
    }

    void windowShapes()
    {
        Started s;
        auto &[box, v] = s;
        v->show();
        // Folded to the title and menu bars (4000 × 700 twips); a zoom unfolds.
        QCOMPARE(v->Bar->text(), QString("▲"));
        v->Bar_Click();
        QVERIFY(v->m_folded);
        QCOMPARE(v->Bar->text(), QString("▼"));
        QCOMPARE(v->frameGeometry().size(), QSize(267, 47));
        v->big_Click();
        QVERIFY(!v->m_folded);
        QCOMPARE(v->Bar->text(), QString("▲"));
        v->LoadPictureFile(box.picture("p.bmp", { 100, 100 }));
        // 4000 × 2500 twips, in whole pixels, the surface centred in it.
        QCOMPARE(v->frameGeometry().size(), QSize(267, 167));
        QCOMPARE(v->Picture1->Left(), 1200.0);
        // Maximised, the window keeps its size and only the surface changes.
        v->showMaximized();
        QTRY_VERIFY(v->isMaximized());
        const QRect maximised = v->frameGeometry();
        v->LoadPictureFile(box.picture("q.bmp", { 200, 100 }));
        QCOMPARE(v->frameGeometry(), maximised);
        QCOMPARE(v->Picture1->Width(), 3000.0);
    }

    void everyFitCopiesWithTrimCopyOn()
    {
        Sandbox box;
        IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "TrimCopy", "1");
        Viewer v(box.path());
        v.clipboard.clear();
        v->Form_Load("");
        // The empty view at start-up too.
        QTRY_VERIFY(v.clipboard.hasImage());
        QCOMPARE(v.clipboard.image().size(), QSize(296, 196));
        v->LoadPictureFile(box.picture("p.bmp", { 100, 60 }));
        v->big_Click();
        QCOMPARE(v.clipboard.image().size(), QSize(110, 66));
        QCOMPARE(rgbAt(v.clipboard.image(), 5, 5), rgb(255, 0, 0));
    }

    // One stored setting read at start-up: the crop-copy switch is on only
    // for a number 1; a window top is taken unless absurd (NaN: where the
    // window was before).
    void readAtStartUp_data()
    {
        columns<QString, QString, bool, double>({ "key", "stored", "trimCopy", "top" });
        const double before = qQNaN();
        QTest::newRow("TrimCopy 1.0") << "TrimCopy" << "1.0" << true << before;
        QTest::newRow("TrimCopy 2") << "TrimCopy" << "2" << false << before;
        QTest::newRow("a top") << "Top" << "1500" << false << 1500.0;
        QTest::newRow("no top") << "" << "" << false << before;
        QTest::newRow("huge") << "Top" << "99999999999999999999999" << false << before;
        QTest::newRow("beyond numbers") << "Top" << QString(400, '9') << false << before;
        QTest::newRow("far above") << "Top" << "-2000000" << false << before;
        QTest::newRow("not a number reads as 0") << "Top" << "abc" << false << 0.0;
    }

    void readAtStartUp()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(double, top);
        Sandbox box;
        IniSettingsStore store(box.path());
        if (key == "TrimCopy")
            store.saveSetting("VORLANE", "Setting", key, stored);
        else if (!key.isEmpty())
            store.saveSetting("vorlane", "window", key, stored);
        Viewer v(box.path());
        const double topBefore = v->windowTop();
        v->Form_Load("");
        QTEST(v->m_trimcopy, "trimCopy");
        QCOMPARE(v->windowTop(), qIsNaN(top) ? topBefore : top);
    }
};

QTEST_MAIN(TestFitting)
#include "test_fitting.moc"
