// The main window's view and the thumbnail map. Start-up: the drop prompt
// and what the settings give; the crop stretched over the surface, the
// background colour and the double-click gestures; fitting the window, zoom
// steps and folding; the map's cell sizes, its nine cells, drawing once per
// list, and closing during and after a drawing.

// Qt
#include <QtTest>

// Local
#include "app/fitting.h"
#include "browse/thumbnail_map.h"
#include "platform/picture_surface.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// 1024 × 720 pixels at 15 twips per pixel.
static const QSizeF work(15360, 10800);

// Qt lets this friend of the application deliver an event as the window
// system does: here a close by the user, as from the close box.
bool qt_sendSpontaneousEvent(QObject *receiver, QEvent *event)
{
    return QCoreApplication::sendSpontaneousEvent(receiver, event);
}

static QStringList pictures(const Sandbox &box, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << box.picture(QString("p%1.bmp").arg(i, 2, 10, QChar('0')), { 300, 400 });
    return list;
}

class TestView : public QObject
{
    Q_OBJECT
private slots:
    // Start-up with a command line (%1: a sandbox) and one stored setting.
    // Whatever the command line opened, or failed to, start-up ends with the
    // fitting: with no picture, the prompt centred in a window of the empty
    // view's size. The crop-copy switch is on only for a number 1, and then
    // the empty view is copied at once; a window top is taken unless absurd
    // (NaN: where the window was before).
    void startUp_data()
    {
        columns<QString, QString, QString, bool, double>(
            { "commandLine", "key", "stored", "trimCopy", "top" });
        const double before = qQNaN();
        QTest::newRow("nothing") << "" << "" << "" << false << before;
        QTest::newRow("a missing file") << "%1/missing.jpg" << "" << "" << false << before;
        QTest::newRow("an empty folder") << "%1/empty" << "" << "" << false << before;
        QTest::newRow("a folder of sounds only") << "%1/sounds" << "" << "" << false << before;
        QTest::newRow("TrimCopy 1.0") << "" << "TrimCopy" << "1.0" << true << before;
        QTest::newRow("TrimCopy 2") << "" << "TrimCopy" << "2" << false << before;
        QTest::newRow("a top") << "" << "Top" << "1500" << false << 1500.0;
        QTest::newRow("huge top") << "" << "Top" << "99999999999999999999999" << false << before;
        QTest::newRow("beyond numbers") << "" << "Top" << QString(400, '9') << false << before;
        QTest::newRow("far above") << "" << "Top" << "-2000000" << false << before;
        QTest::newRow("not a number reads as 0") << "" << "Top" << "abc" << false << 0.0;
    }

    void startUp()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(double, top);
        Sandbox box;
        box.write("sounds/a.mid", "not played");
        (void)box.file("empty/"); // made on the way
        IniSettingsStore store(box.path());
        if (key == "TrimCopy")
            store.saveSetting("VORLANE", "Setting", key, stored);
        else if (!key.isEmpty())
            store.saveSetting("vorlane", "window", key, stored);
        Viewer v(box.path());
        v.clipboard.clear();
        const double topBefore = v->windowTop();
        v->Form_Load(commandLine.replace("%1", box.path()));
        QTEST(v->m_trimcopy, "trimCopy");
        QTRY_COMPARE(v.clipboard.image().size(), v->m_trimcopy ? QSize(296, 196) : QSize(0, 0));
        QCOMPARE(v->windowTop(), qIsNaN(top) ? topBefore : top);
        QCOMPARE(v->frameGeometry().size(), QSize(316, 263)); // 4740 × 3940 twips
        const QImage view = v->Picture1->Image();
        QCOMPARE(view.size(), QSize(296, 196));
        const QRect ink = inkBox(view, v->Picture1->BackColor().rgb() & 0xffffff);
        // Centred, and as wide as the text.
        const QFontMetrics fm(v->Picture1->font());
        const int textWidth = fm.horizontalAdvance(QStringLiteral("ここに画像をドロップしてください"));
        QVERIFY2(qAbs(ink.center().x() - 148) <= 3, QTest::toString(ink));
        QVERIFY2(qAbs(ink.center().y() - 98) <= fm.height() / 2, QTest::toString(ink));
        QVERIFY(ink.width() >= textWidth - 6 && ink.width() <= textWidth + 2);
    }

    void backgroundColour()
    {
        Started s;
        auto &[box, v] = s;
        const QColor before = v->backgroundColor();
        v.dialogs.colorAnswers.push_back(QColor(0, 0, 160));
        v->BackColor_Click();
        v->BackColor_Click(); // cancelled
        // The dialog started from the window's own background.
        QCOMPARE(v.dialogs.colorStarts.value(0), before);
        QCOMPARE(v->backgroundColor(), QColor(0, 0, 160));
        const QImage view = v->Picture1->Image();
        QCOMPARE(rgbAt(view, 0, 0), rgb(0, 0, 160));
        QVERIFY(inkBox(view, rgb(0, 0, 160)).isValid());
    }

    // A crop in twips of a makePattern() picture (red, green over blue,
    // yellow) stretched over the surface at a zoom.
    void crop()
    {
        Started s;
        auto &[box, v] = s;
        const auto show = [&](QSize picture, QRect crop, float zoom) {
            v->LoadPictureFile(box.picture("p.bmp", picture));
            std::tie(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh)
                = std::tuple(crop.x(), crop.y(), crop.width(), crop.height());
            v->m_size = zoom;
            v->FormResize();
            return v->Picture1->Image();
        };
        // 100 × 50 twips of the green quadrant at 200 %: 200 twips, whole pixels.
        const QImage stretched = show({ 40, 20 }, { 330, 15, 100, 50 }, 200);
        QCOMPARE(stretched.size(), QSize(13, 7));
        QVERIFY(closeColor(rgbAt(stretched, 12, 6), rgb(0, 255, 0), 40));
        // Wider than the picture, as an undo entry of a larger one may leave,
        // its right edge inside a pixel of the view or not: past the edge,
        // background, never black.
        const QRgb background = v->Picture1->BackColor().rgb() & 0xffffff;
        for (const int past : { 44, 47, 50, 53, 300 }) {
            const QImage view = show({ 20, 20 }, { 0, 0, 300 + past, 300 }, 100);
            QCOMPARE(view.size(), QSize(qRound((300 + past) / 15.0), 20));
            QVERIFY(closeColor(rgbAt(view, 18, 2), rgb(0, 255, 0), 40));
            for (int x = 20; x < view.width(); ++x)
                QCOMPARE(rgbAt(view, x, 2), background);
        }
    }

    // A double-click that opens the resize dialog refits afterwards, which
    // shows as a zoom lowered to fit the work area. The dialog is closed with
    // its close box, which applies nothing.
    void doubleClicks()
    {
        Started s;
        auto &[box, v] = s;
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(&v.vane()));
        const auto zoomAfterDoubleClick = [&](QWidget *on, QPoint at) {
            v->m_size = 1000;
            QTimer::singleShot(0, [] {
                if (QWidget *dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
            QTest::mouseDClick(on, Qt::LeftButton, {}, at);
            return v->m_size;
        };
        // The window's margin, even with no picture.
        QVERIFY(zoomAfterDoubleClick(v->centralWidget(), { 2, 2 }) < 1000);
        v->LoadPictureFile(box.picture("p.bmp", { 400, 300 }));
        const QPoint inside = v->Picture1->rect().center();
        // The surface while crop mode is armed: nothing.
        v->m_trimming = true;
        QCOMPARE(zoomAfterDoubleClick(v->Picture1, inside), 1000.0f);
        // The surface with a picture and crop mode off.
        v->m_trimming = false;
        QVERIFY(zoomAfterDoubleClick(v->Picture1, inside) < 1000);
    }

    void fitZoom_data()
    {
        columns<float, int, int, float>({ "size", "trimW", "trimH", "expected" });
        QTest::newRow("fits: unchanged") << 100.0f << 9600 << 7200 << 100.0f;
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
        QTest::newRow("minimum size") << QRect(0, 0, 1500, 15) << QRect(0, 0, 4000, 1015);
        QTest::newRow("above: to 0") << QRect(-900, -60, 4440, 2940) << QRect(0, 0, 4740, 3940);
        QTest::newRow("back from the bottom right")
            << QRect(14000, 9000, 4440, 2940) << QRect(10620, 6860, 4740, 3940);
    }

    void placeWindow()
    {
        QFETCH(QRect, surfaceAt);
        const QRect &a = surfaceAt;
        const WindowRect r = vorlane::placeWindow(a.width(), a.height(), a.x(), a.y(), work);
        QTEST(QRect(r.left, r.top, r.width, r.height), "expected");
    }

    // A picture loaded with crop copying on, its zoom set (0: as fitted),
    // then a command. Every fitting copies the view.
    void zoomCommands_data()
    {
        columns<QSize, float, QString, float, int, double>(
            { "picture", "zoom", "command", "fitted", "undo", "surfaceWidth" });
        QTest::newRow("wide, fitted") << QSize(1280, 200) << 0.f << "" << 75.f << 0 << 14400.;
        QTest::newRow("up to 400") << QSize(20, 20) << 390.f << "big" << 400.f << 1 << 1200.;
        QTest::newRow("not past 400") << QSize(20, 20) << 400.f << "big" << 400.f << 0 << 300.;
        QTest::newRow("down to 10") << QSize(20, 20) << 20.f << "mini" << 10.f << 1 << 30.;
        QTest::newRow("not past 10") << QSize(20, 20) << 10.f << "mini" << 10.f << 0 << 300.;
        QTest::newRow("remainder kept") << QSize(200, 20) << 15.f << "mini" << 5.f << 1 << 150.;
        // Up from a full-screen fit: the zoom stays, an undo entry is made.
        QTest::newRow("wide, big") << QSize(1280, 200) << 0.f << "big" << 75.f << 1 << 14400.;
        // The whole picture at 100 %.
        QTest::newRow("original") << QSize(64, 48) << 250.f << "original" << 100.f << 0 << 960.;
    }

    void zoomCommands()
    {
        QFETCH(QSize, picture);
        QFETCH(float, zoom);
        QFETCH(QString, command);
        Started s;
        auto &[box, v] = s;
        v->show();
        v->m_trimcopy = true;
        v->LoadPictureFile(box.picture("p.bmp", picture));
        if (zoom > 0)
            v->m_size = zoom;
        v->m_trimx = command == "original" ? 15 : 0;
        const QHash<QString, void (VANE::*)()> commands{
            { "big", &VANE::big_Click }, { "mini", &VANE::mini_Click },
            { "original", &VANE::original_Click }
        };
        if (const auto click = commands.value(command))
            (v.vane().*click)();
        QTEST(v->m_size, "fitted");
        QTEST(int(v->UndoList.size()), "undo");
        QTEST(v->Picture1->Width(), "surfaceWidth");
        QCOMPARE(v->m_trimx, 0);
        const auto rgb32 = [](const QImage &i) { return i.convertToFormat(QImage::Format_RGB32); };
        QCOMPARE(rgb32(v.clipboard.image()), rgb32(v->Picture1->Image()));
    }

    void windowShapes()
    {
        Started s;
        auto &[box, v] = s;
        v->show();
        const auto shape = [&] { return std::pair(v->Bar->text(), v->frameGeometry().size()); };
        // Folded to the title and menu bars (4000 × 700 twips); a zoom unfolds.
        v->Bar_Click();
        QCOMPARE(shape(), std::pair(QString("▼"), QSize(267, 47)));
        v->big_Click();
        QCOMPARE(std::pair(v->m_folded, v->Bar->text()), std::pair(false, QString("▲")));
        v->LoadPictureFile(box.picture("p.bmp", { 100, 100 }));
        // 4000 × 2500 twips, in whole pixels, the surface centred in it, and
        // kept centred as the user drags the frame.
        QCOMPARE(shape(), std::pair(QString("▲"), QSize(267, 167)));
        QCOMPARE(v->Picture1->Left(), 1200.0);
        const QPoint centred = v->Picture1->pos();
        v->resize(v->width() + 160, v->height() + 90);
        QTRY_COMPARE(v->Picture1->pos(), centred + QPoint(80, 45));
        // Maximised, the window keeps its size and only the surface changes.
        v->showMaximized();
        QTRY_VERIFY(v->isMaximized());
        const QRect maximised = v->frameGeometry();
        v->LoadPictureFile(box.picture("q.bmp", { 200, 100 }));
        QCOMPARE(v->frameGeometry(), maximised);
        QCOMPARE(v->Picture1->Width(), 3000.0);
    }

    // A wide picture fills the 1920 × 1440 twip cell's width, a tall one its height.
    void cellSize()
    {
        const auto twips = [](int w, int h) {
            return thumbnailSize(QSizeF(w * 2540.0 / 96, h * 2540.0 / 96), 15, 15, 1920, 1440);
        };
        QCOMPARE(twips(800, 300), QSize(1920, 720));
        QCOMPARE(twips(300, 400), QSize(1080, 1440));
    }

    void drawsNineCentredCellsOncePerList()
    {
        Sandbox box;
        Viewer v(box.path());
        frmCell &cells = v->cellWindow();
        const QStringList list = pictures(box, 12);
        QVERIFY(cells.TileMap(list));
        QCOMPARE(cells.m_cellfile.mid(0, 10), list.mid(0, 9) << QString());
        // The first cell starts a pixel in, its 72 pixel wide picture 28 more.
        const QImage map = cells.Picture1->Image();
        for (int x : { 28, 29, 100, 101 })
            QCOMPARE(rgbAt(map, x, 48) == rgb(255, 255, 255), x == 28 || x == 101);
        // The same first entry is not drawn again (its files are not even
        // read); another first entry is.
        QFile::remove(list[1]);
        QVERIFY(cells.TileMap(list));
        QVERIFY(!cells.TileMap(list.mid(1)));
    }

    void closing()
    {
        Sandbox box;
        Viewer v(box.path());
        frmCell &cells = v->cellWindow();
        const auto closeByHand = [&] {
            QCloseEvent close;
            if (qt_sendSpontaneousEvent(&cells, &close) && close.isAccepted())
                cells.hide();
        };
        QStringList list = pictures(box, 3);
        list[1] = box.write("broken.bmp", "not a picture");
        // Closed during drawing: stops after the first cell, so the broken
        // second picture is never met, and unloads the map.
        cells.show();
        QTimer::singleShot(0, &cells, closeByHand);
        QVERIFY(cells.TileMap(list));
        QVERIFY(!cells.isVisible() && cells.m_lastfirst.isEmpty());
        // The broken picture ends a drawing with an error; closable still.
        QVERIFY(!cells.TileMap(list));
        QVERIFY(!cells.m_busy && cells.m_lastfirst.isEmpty());
        // After a complete drawing a close by hand only hides the map; the
        // program's close always proceeds and unloads it.
        cells.show();
        QVERIFY(cells.TileMap(list.mid(2)));
        closeByHand();
        QVERIFY(!cells.isVisible() && cells.m_lastfirst == list[2]);
        QVERIFY(cells.close() && cells.m_lastfirst.isEmpty());
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
