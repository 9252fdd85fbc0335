// Drawing the view: the drop prompt, the crop stretched over the surface,
// the background colour and the double-click gestures.

// Qt
#include <QtTest>

// Local
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestDrawing : public QObject
{
    Q_OBJECT
private slots:
    // Whatever the command line opened, or failed to, start-up ends with the
    // fitting: with no picture, the prompt centred in a window of the empty
    // view's size.
    void promptAfterStartUp_data()
    {
        QTest::addColumn<QString>("commandLine"); // %1: a sandbox
        QTest::newRow("nothing") << "";
        QTest::newRow("a missing file") << "%1/missing.jpg";
        QTest::newRow("an empty folder") << "%1/empty";
        QTest::newRow("a folder of sounds only") << "%1/sounds";
    }

    void promptAfterStartUp()
    {
        QFETCH(QString, commandLine);
        Sandbox box;
        box.write("sounds/a.mid", "not played");
        (void)box.file("empty/"); // made on the way
        Viewer v(box.path());
        v->Form_Load(QString(commandLine).replace("%1", box.path()));
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
    // yellow) shown at a zoom; 0 stands for the background.
    void crop_data()
    {
        columns<QSize, QRect, float, QSize, QPoint, QRgb>(
            { "picture", "crop", "zoom", "view", "probe", "colour" });
        const auto row = [](const char *name, QSize picture, QRect crop, float zoom, QSize view,
                            QPoint probe, QRgb colour) {
            QTest::newRow(name) << picture << crop << zoom << view << probe << colour;
        };
        // 100 × 50 twips of the green quadrant at 200 %: 200 twips, whole pixels.
        row("stretched, far corner", { 40, 20 }, { 330, 15, 100, 50 }, 200, { 13, 7 }, { 12, 6 },
            rgb(0, 255, 0));
        // Twice the picture's width, as an undo entry of a larger one may leave.
        row("beyond the picture: the picture", { 20, 20 }, { 0, 0, 600, 300 }, 100, { 40, 20 },
            { 17, 2 }, rgb(0, 255, 0));
        row("beyond the picture: background", { 20, 20 }, { 0, 0, 600, 300 }, 100, { 40, 20 },
            { 30, 10 }, 0);
    }

    void crop()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, crop);
        QFETCH(float, zoom);
        QFETCH(QPoint, probe);
        QFETCH(QRgb, colour);
        Started s;
        auto &[box, v] = s;
        v->LoadPictureFile(box.picture("p.bmp", picture));
        v->m_trimx = crop.x();
        v->m_trimy = crop.y();
        v->m_trimw = crop.width();
        v->m_trimh = crop.height();
        v->m_size = zoom;
        v->FormResize();
        const QImage view = v->Picture1->Image();
        QTEST(view.size(), "view");
        const QRgb expected = colour ? colour : v->Picture1->BackColor().rgb() & 0xffffff;
        QVERIFY(closeColor(rgbAt(view, probe.x(), probe.y()), expected, 40));
    }

    void redrawEndsCropMode()
    {
        Started s;
        auto &[box, v] = s;
        v->m_trimming = true;
        v->Picture1->setMousePointer(Qt::CrossCursor);
        v->Picture1->setAutoRedraw(false);
        v->RedrawView();
        QVERIFY(!v->m_trimming);
        QCOMPARE(v->Picture1->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(v->Picture1->AutoRedraw());
    }

    // A double-click that opens the resize dialog refits afterwards, which
    // shows as a zoom lowered to fit the work area. The dialog is closed with
    // its close box, which applies nothing.
    void doubleClicks()
    {
        const auto closeDialogSoon = [] {
            QTimer::singleShot(0, [] {
                if (QWidget *dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
        };
        Started s;
        auto &[box, v] = s;
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(&v.vane()));
        // The window's margin, even with no picture.
        v->m_size = 1000;
        closeDialogSoon();
        QTest::mouseDClick(v->centralWidget(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(v->m_size < 1000);
        v->LoadPictureFile(box.picture("p.bmp", { 400, 300 }));
        const QPoint inside = v->Picture1->rect().center();
        // The surface while crop mode is armed: nothing.
        v->m_size = 1000;
        v->m_trimming = true;
        QTest::mouseDClick(v->Picture1, Qt::LeftButton, {}, inside);
        QCOMPARE(v->m_size, 1000.0f);
        // The surface with a picture and crop mode off.
        v->m_trimming = false;
        closeDialogSoon();
        QTest::mouseDClick(v->Picture1, Qt::LeftButton, {}, inside);
        QVERIFY(v->m_size < 1000);
    }
};

QTEST_MAIN(TestDrawing)
#include "test_drawing.moc"
